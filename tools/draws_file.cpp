#include "tools/draws_file.h"

#include <charconv>
#include <string>
#include <string_view>
#include <system_error>

#include "common/read_file.h"
#include "tools/cli.h"

namespace kestro::sim {
namespace {

std::string_view trim(std::string_view s) {
    constexpr std::string_view space = " \t\r\f\v";
    const auto first = s.find_first_not_of(space);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(space) - first + 1);
}

}  // namespace

std::vector<float> readDrawsFile(const std::filesystem::path& path) {
    const std::string name = "--draws file '" + path.string() + "'";
    const auto file = readRegularFile(path, kDrawsFileLimit);
    if (!file) {
        throw CliError(name + " " + describe(file.error()));
    }
    std::vector<float> draws;
    std::string_view rest = file.value();
    for (std::size_t number = 1; !rest.empty(); ++number) {
        const auto newline = rest.find('\n');
        const std::string_view text = trim(rest.substr(0, newline));
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
        if (text.empty()) {
            continue;
        }
        const std::string where = name + " line " + std::to_string(number) + ": ";
        if (draws.size() == kMostDraws) {
            throw CliError(where + "more than " + std::to_string(kMostDraws) + " draws");
        }
        const auto value = parseWhole<double>(text);
        if (!value) {
            throw CliError(where + "'" + shownLine(text) + "' is not a decimal number");
        }
        const float draw = static_cast<float>(*value);
        if (!(draw >= 0.0f && draw <= 1.0f)) {
            throw CliError(where + shownLine(text) + " is not a draw between 0 and 1");
        }
        draws.push_back(draw);
    }
    return draws;
}

}  // namespace kestro::sim
