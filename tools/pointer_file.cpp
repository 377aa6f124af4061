#include "tools/pointer_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/read_file.h"
#include "common/whole_file.h"
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
    auto file = readRegularFile(path, kPointerFileLimit);
    if (!file) {
        throw CliError(describe(path) + " " + describe(file.error()));
    }
    const std::string text = std::move(file).value();
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
        if (!w || w->size() != 3) {
            throw CliError(where + "'" + shownLine(line) +
                           "' is not a move: a move is three numbers 'MS X Y', the time in "
                           "milliseconds and the pointer's position in pixels");
        }
        const auto ms = parseWhole<Millis>((*w)[0]);
        if (!ms) {
            throw CliError(where + "the time '" + shownLine((*w)[0]) +
                           "' is not a whole number of milliseconds");
        }
        // A position in pixels, or an error saying what is wrong with the word.
        const auto position = [&](std::string_view word, const char* name) {
            if (const auto value = parseFiniteFloat(word)) {
                return *value;
            }
            const auto wide = parseWhole<double>(word);
            throw CliError(where + "the " + name + " position '" + shownLine(word) +
                           (wide && std::isfinite(*wide)
                                ? "' is too large for a position in pixels"
                                : "' is not a number of pixels (such as 120 or 45.5)"));
        };
        const float x = position((*w)[1], "x");
        const float y = position((*w)[2], "y");
        if (*ms < 0) {
            throw CliError(where + "the time " + std::to_string(*ms) + " is negative");
        }
        if (!moves.empty() && *ms < moves.back().ms) {
            throw CliError(where + "the time " + std::to_string(*ms) +
                           " comes before the previous move's " + std::to_string(moves.back().ms));
        }
        moves.push_back(PointerMove{*ms, x, y});
    }
    return moves;
}

std::string pointerFileText(const std::vector<PointerMove>& moves) {
    std::string text;
    const auto number = [&text](float v) {
        char buffer[32];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
        text.append(buffer, r.ptr);
    };
    for (const PointerMove& m : moves) {
        text += std::to_string(m.ms);
        text += ' ';
        number(m.x);
        text += ' ';
        number(m.y);
        text += '\n';
    }
    return text;
}

void writePointerFile(const std::filesystem::path& path, const std::vector<PointerMove>& moves) {
    const std::string text = pointerFileText(moves);
    const auto written = writeWholeFile(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!written) {
        throw CliError(written.error());
    }
}

}  // namespace kestro::sim
