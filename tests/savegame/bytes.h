#pragma once
// Reading and patching little-endian fields of a saved game in tests, independently of the
// encoder.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kestro::savegame::test {

inline std::int32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
        static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24);
}

inline std::int16_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[at] | b[at + 1] << 8));
}

inline void setLe32(std::span<std::uint8_t> b, std::size_t at, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (std::size_t i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
    }
}

inline void setLe16(std::span<std::uint8_t> b, std::size_t at, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    b[at] = static_cast<std::uint8_t>(u);
    b[at + 1] = static_cast<std::uint8_t>(u >> 8);
}

}  // namespace kestro::savegame::test
