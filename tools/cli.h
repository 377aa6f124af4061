#pragma once
// Small helpers shared by the subcommands of kestro-sim.

#include <charconv>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace kestro::sim {

// A usage or input error: main prints "kestro-sim: <what>" on stderr and exits with status 1.
class CliError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The whole of text as a decimal integer within [lo, hi], or a CliError naming the option.
std::int64_t parseInteger(const std::string& text, const std::string& option, std::int64_t lo,
                          std::int64_t hi);

// The whole of text as a T read by std::from_chars (a leading '+' allowed, not "+-"), or nothing.
template <class T>
std::optional<T> parseWhole(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    T value{};
    const char* const last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (text.empty() || ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return value;
}

// The whole of text as a finite 32-bit float (a leading '+' allowed), or nothing.
std::optional<float> parseFiniteFloat(std::string_view text);

// A line of an input file as an error message shows it: without the surrounding blanks, at most
// 40 bytes, control characters as '?', so that the message stays one line.
std::string shownLine(std::string_view line);

}  // namespace kestro::sim
