#include "tools/pointer_file.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "common/read_file.h"
#include "tools/cli.h"

namespace kestro::sim {
namespace {

constexpr std::string_view kSpace = " \t\r\f\v";

std::string describe(const std::filesystem::path& path) {
    return "--pointer file '" + path.string() + "'";
}

// The line's whitespace-separated words, or nothing when there are more than three.
std::optional<std::vector<std::string_view>> words(std::string_view line) {
    std::vector<std::string_view> found;
    for (;;) {
        const auto first = line.find_first_not_of(kSpace);
        if (first == std::string_view::npos) {
            return found;
        }
        line.remove_prefix(first);
        const auto end = std::min(line.find_first_of(kSpace), line.size());
        if (found.size() == 3) {
            return std::nullopt;
        }
        found.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
}

}  // namespace

std::vector<PointerMove> readPointerFile(const std::filesystem::path& path) {
    FileText file = readRegularFile(path, kPointerFileLimit);
    if (!file.ok()) {
        throw CliError(describe(path) + " " + file.error);
    }
    const std::string text = std::move(file.text);
    std::vector<PointerMove> moves;
    std::string_view rest = text;
    for (std::size_t number = 1; !rest.empty(); ++number) {
        const auto newline = rest.find('\n');
        const std::string_view line = rest.substr(0, newline);
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);

        const auto w = words(line);
        if (w && w->empty()) {
            continue;
        }
        const std::string where = describe(path) + " line " + std::to_string(number) + ": ";
        const auto ms = w && w->size() == 3 ? parseWhole<Millis>((*w)[0]) : std::nullopt;
        const auto x = ms ? parseFiniteFloat((*w)[1]) : std::nullopt;
        const auto y = x ? parseFiniteFloat((*w)[2]) : std::nullopt;
        if (!y) {
            throw CliError(where + "'" + shownLine(line) +
                           "' is not 'MS X Y' (whole milliseconds, two decimal positions)");
        }
        if (*ms < 0) {
            throw CliError(where + "the time " + std::to_string(*ms) + " is negative");
        }
        if (!moves.empty() && *ms < moves.back().ms) {
            throw CliError(where + "the time " + std::to_string(*ms) +
                           " comes before the previous move's " + std::to_string(moves.back().ms));
        }
        moves.push_back(PointerMove{*ms, *x, *y});
    }
    return moves;
}

}  // namespace kestro::sim
