#pragma once
// A 64-bit FNV-1a digest of everything fed to it: the fingerprint that golden tests keep of a
// long output (texts, numbers, pixels) so that any change of a byte shows. Beside the digest it
// keeps a readable sample of the first items fed to it, one item a line, which the tests compare
// too: when a digest no longer matches, the sample says what the first outputs are now.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace kestro::test {

class GoldenHash {
  public:
    // Keeps the first sampleLines lines in the sample, each cut at kLineChars characters.
    explicit GoldenHash(int sampleLines = 6) : linesLeft_(sampleLines) {}
    static constexpr std::size_t kLineChars = 160;

    void add(std::string_view bytes) {
        add(bytes.data(), bytes.size());
        for (const char c : bytes) {
            sampleChar(c);
        }
    }
    // Raw bytes (pixels) go into the digest only; note() can add a readable summary of them.
    void add(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value_ = (value_ ^ p[i]) * 0x100000001b3ull;
        }
    }
    // An integer or float by its bytes; the sample shows its value.
    template <typename T>
    void addValue(T v) {
        unsigned char bytes[sizeof v];
        std::memcpy(bytes, &v, sizeof v);
        add(bytes, sizeof bytes);
        sample(readable(v));
    }
    // Adds the separator "|" and starts the next line of the sample.
    void endItem() {
        add("|", 1);
        nextLine();
    }
    // Text for the sample alone (an input, say), and the start of the sample's next line.
    void note(std::string_view text) {
        for (const char c : text) {
            sampleChar(c);
        }
    }
    void nextLine() {
        if (linesLeft_ > 0) {
            sample_ += '\n';
            lineStart_ = sample_.size();
            --linesLeft_;
        }
    }
    bool sampleFull() const { return linesLeft_ <= 0; }

    std::uint64_t value() const { return value_; }
    const std::string& sample() const { return sample_; }

  private:
    template <typename T>
    static std::string readable(T v) {
        if constexpr (std::is_same_v<T, bool>) {
            return v ? "true " : "false ";
        } else {
            char text[64];
            const auto end = std::to_chars(text, text + sizeof text, v).ptr;
            return std::string(text, end) + " ";
        }
    }
    bool sampling() const { return linesLeft_ > 0 && sample_.size() - lineStart_ < kLineChars; }
    void sample(std::string_view text) {
        if (sampling()) {
            sample_ += text;
        }
    }
    // Printable characters as they are, the others escaped.
    void sampleChar(char c) {
        if (!sampling()) {
            return;
        }
        switch (c) {
            case '\r':
                sample_ += "\\r";
                return;
            case '\n':
                sample_ += "\\n";
                return;
            case '\t':
                sample_ += "\\t";
                return;
            case '\\':
                sample_ += "\\\\";
                return;
            default:
                break;
        }
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            sample_ += hex;
        } else {
            sample_ += c;
        }
    }

    std::uint64_t value_ = 0xcbf29ce484222325ull;
    int linesLeft_;
    std::size_t lineStart_ = 0;
    std::string sample_;
};

}  // namespace kestro::test
