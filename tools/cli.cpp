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
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    float value = 0.0f;
    const char* const last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (text.empty() || ec != std::errc() || ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace kestro::sim
