#pragma once
// A 64-bit FNV-1a digest of everything fed to it: the fingerprint that golden tests keep of a
// long output (texts, numbers, pixels) so that any change of a byte shows.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestro::testing {

class GoldenHash {
  public:
    void add(std::string_view bytes) { add(bytes.data(), bytes.size()); }
    void add(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value_ = (value_ ^ p[i]) * 0x100000001b3ull;
        }
    }
    // An integer or float by its bytes.
    template <typename T>
    void addValue(T v) {
        unsigned char bytes[sizeof v];
        std::memcpy(bytes, &v, sizeof v);
        add(bytes, sizeof bytes);
    }
    std::uint64_t value() const { return value_; }

  private:
    std::uint64_t value_ = 0xcbf29ce484222325ull;
};

}  // namespace kestro::testing
