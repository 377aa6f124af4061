#include "tools/cli.h"

#include <charconv>
#include <cmath>

namespace kestro::sim {

std::int64_t parseInteger(const std::string& text, const std::string& option, std::int64_t lo,
                          std::int64_t hi) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && *first == '+') {
        ++first;
    }
    const auto [ptr, ec] = std::from_chars(first, last, value);
    const bool outOfRange = ec == std::errc::result_out_of_range;
    if (ptr != last || first == last || (ec != std::errc() && !outOfRange)) {
        throw CliError(option + " needs a whole number, not '" + text + "'");
    }
    // A whole number too large even for 64 bits lies outside every range as well.
    if (outOfRange || value < lo || value > hi) {
        throw CliError(option + " must lie between " + std::to_string(lo) + " and " +
                       std::to_string(hi) + ", not " + text);
    }
    return value;
}

std::optional<float> parseFiniteFloat(std::string_view text) {
    const auto value = parseWhole<float>(text);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

std::string shownLine(std::string_view line) {
    constexpr std::string_view space = " \t\r\f\v";
    const auto first = line.find_first_not_of(space);
    line = first == std::string_view::npos
               ? std::string_view()
               : line.substr(first, line.find_last_not_of(space) - first + 1);
    constexpr std::size_t kMost = 40;
    std::string out(line.substr(0, kMost));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return line.size() > kMost ? out + "..." : out;
}

}  // namespace kestro::sim
