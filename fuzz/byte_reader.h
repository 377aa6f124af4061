#pragma once
// Reads a fuzzer's input front to back as the values a target needs. Past the end every value
// reads as zero, so any input, however short, is a complete description.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kestro::fuzz {

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool empty() const { return at_ >= bytes_.size(); }
    std::size_t remaining() const { return empty() ? 0 : bytes_.size() - at_; }

    std::uint8_t u8() { return empty() ? 0 : bytes_[at_++]; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(u8() | (u8() << 8)); }
    std::uint32_t u32() { return u16() | (static_cast<std::uint32_t>(u16()) << 16); }
    std::uint64_t u64() { return u32() | (static_cast<std::uint64_t>(u32()) << 32); }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    // Any 32 bits as a float: NaNs, infinities, subnormals and negative zero included.
    float f32() { return std::bit_cast<float>(u32()); }

    // The next n bytes (fewer at the end).
    std::span<const std::uint8_t> take(std::size_t n) {
        const std::size_t k = n < remaining() ? n : remaining();
        const auto part = bytes_.subspan(at_, k);
        at_ += k;
        return part;
    }
    // Everything not read yet.
    std::span<const std::uint8_t> rest() { return take(remaining()); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

inline std::string_view asText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace kestro::fuzz
