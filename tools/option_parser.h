#pragma once
// Splitting a subcommand's arguments into its positional arguments and "--name value" options.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/commands.h"

namespace kestro::sim {

class ParsedArgs {
  public:
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::map<std::string, std::array<std::string, 2>> pairs;  // the options that take two values
    std::set<std::string> flags;                              // the options that take none

    bool has(const std::string& name) const {
        return options.count(name) != 0 || pairs.count(name) != 0 || flags.count(name) != 0;
    }
    std::optional<std::string> text(const std::string& name) const;
    std::optional<std::array<std::string, 2>> pair(const std::string& name) const;
    // The option as a whole number within [lo, hi], or fallback when it was not given.
    std::int64_t integer(const std::string& name, std::int64_t lo, std::int64_t hi,
                         std::int64_t fallback) const;
};

// Takes exactly the named positional arguments and any of the named options, each at most once,
// as "--name value" or "--name=value"; the options of pairOptionNames take two values, as
// "--name a b" or "--name=a b", neither of which may look like an option; those of flagNames
// stand alone, "--name" only. Anything else is a CliError.
ParsedArgs parseArgs(const Args& args, const std::vector<std::string>& positionalNames,
                     const std::vector<std::string>& optionNames,
                     const std::vector<std::string>& pairOptionNames = {},
                     const std::vector<std::string>& flagNames = {});

}  // namespace kestro::sim
