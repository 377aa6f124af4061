#include "tools/cli.h"

#include <charconv>

namespace kestro::sim {

std::int64_t parseInteger(const std::string& text, const std::string& option, std::int64_t lo,
                          std::int64_t hi) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && *first == '+') {
        ++first;
    }
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || first == last) {
        throw CliError(option + " needs a whole number, not '" + text + "'");
    }
    if (value < lo || value > hi) {
        throw CliError(option + " must lie between " + std::to_string(lo) + " and " +
                       std::to_string(hi) + ", not " + text);
    }
    return value;
}

}  // namespace kestro::sim
