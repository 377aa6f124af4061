#include "tools/option_parser.h"

#include <algorithm>

#include "tools/cli.h"

namespace kestro::sim {

std::optional<std::string> ParsedArgs::text(const std::string& name) const {
    const auto it = options.find(name);
    if (it == options.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::array<std::string, 2>> ParsedArgs::pair(const std::string& name) const {
    const auto it = pairs.find(name);
    if (it == pairs.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::int64_t ParsedArgs::integer(const std::string& name, std::int64_t lo, std::int64_t hi,
                                 std::int64_t fallback) const {
    const auto value = text(name);
    return value ? parseInteger(*value, name, lo, hi) : fallback;
}

namespace {

bool isOption(const std::string& arg) {
    return arg.size() > 2 && arg.compare(0, 2, "--") == 0;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

ParsedArgs parseArgs(const Args& args, const std::vector<std::string>& positionalNames,
                     const std::vector<std::string>& optionNames,
                     const std::vector<std::string>& pairOptionNames,
                     const std::vector<std::string>& flagNames) {
    ParsedArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (isOption(arg)) {
            const auto eq = arg.find('=');
            const std::string name = arg.substr(0, eq);
            const bool takesPair = contains(pairOptionNames, name);
            const bool isFlag = contains(flagNames, name);
            if (!takesPair && !isFlag && !contains(optionNames, name)) {
                throw CliError("unknown option '" + name + "'");
            }
            if (parsed.has(name)) {
                throw CliError(name + " is given twice");
            }
            if (isFlag) {
                if (eq != std::string::npos) {
                    throw CliError(name + " takes no value");
                }
                parsed.flags.push_back(name);
            } else if (takesPair) {
                std::array<std::string, 2> values;
                std::size_t taken = 0;
                if (eq != std::string::npos) {
                    values[taken++] = arg.substr(eq + 1);
                }
                for (; taken < 2 && i + 1 < args.size() && !isOption(args[i + 1]); ++taken) {
                    values[taken] = args[++i];
                }
                if (taken < 2) {
                    throw CliError(name + " needs two values");
                }
                parsed.pairs[name] = values;
            } else if (eq != std::string::npos) {
                parsed.options[name] = arg.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                parsed.options[name] = args[++i];
            } else {
                throw CliError(name + " needs a value");
            }
        } else if (parsed.positional.size() < positionalNames.size()) {
            parsed.positional.push_back(arg);
        } else {
            throw CliError("unexpected argument '" + arg + "'");
        }
    }
    if (parsed.positional.size() < positionalNames.size()) {
        throw CliError("missing " + positionalNames[parsed.positional.size()]);
    }
    return parsed;
}

}  // namespace kestro::sim
