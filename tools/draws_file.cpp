#include "tools/draws_file.h"

#include <charconv>
#include <fstream>
#include <string>
#include <system_error>

#include "tools/cli.h"

namespace kestro::sim {
namespace {

std::string trim(const std::string& s) {
    const char* const space = " \t\r\f\v";
    const auto first = s.find_first_not_of(space);
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(space) - first + 1);
}

}  // namespace

std::vector<float> readDrawsFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) {
        throw CliError("cannot open --draws file '" + path.string() + "'");
    }
    std::vector<float> draws;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = trim(line);
        if (text.empty()) {
            continue;
        }
        const std::string where =
            "--draws file '" + path.string() + "' line " + std::to_string(number) + ": ";
        const char* first = text.data();
        const char* const last = text.data() + text.size();
        if (*first == '+') {
            ++first;
        }
        double value = 0.0;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || end != last || first == last) {
            throw CliError(where + "'" + text + "' is not a decimal number");
        }
        const float draw = static_cast<float>(value);
        if (!(draw >= 0.0f && draw <= 1.0f)) {
            throw CliError(where + text + " is not a draw between 0 and 1");
        }
        draws.push_back(draw);
    }
    if (in.bad()) {
        throw CliError("cannot read --draws file '" + path.string() + "'");
    }
    return draws;
}

}  // namespace kestro::sim
