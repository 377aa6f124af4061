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

// What is shown of a line in a message: at most 40 bytes, control characters as '?'.
std::string shown(std::string_view text) {
    constexpr std::size_t kMost = 40;
    std::string out(text.substr(0, kMost));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return text.size() > kMost ? out + "..." : out;
}

}  // namespace

std::vector<float> readDrawsFile(const std::filesystem::path& path) {
    const std::string name = "--draws file '" + path.string() + "'";
    const FileText file = readRegularFile(path, kDrawsFileLimit);
    if (!file.ok()) {
        throw CliError(name + " " + file.error);
    }
    std::vector<float> draws;
    std::string_view rest = file.text;
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
        const char* first = text.data();
        const char* const last = text.data() + text.size();
        if (*first == '+') {
            ++first;
        }
        double value = 0.0;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || end != last || first == last) {
            throw CliError(where + "'" + shown(text) + "' is not a decimal number");
        }
        const float draw = static_cast<float>(value);
        if (!(draw >= 0.0f && draw <= 1.0f)) {
            throw CliError(where + shown(text) + " is not a draw between 0 and 1");
        }
        draws.push_back(draw);
    }
    return draws;
}

}  // namespace kestro::sim
