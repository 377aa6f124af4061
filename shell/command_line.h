#pragma once
// The game's command line: nothing, or the path of a saved game to start with.

#include <optional>
#include <string>
#include <variant>

namespace kestro::shell {

inline constexpr const char* kUsage = "Usage: kestro [SAVED-GAME]";

struct CommandLine {
    std::optional<std::string> savedGame;
};

// The arguments after the program's name, once Qt has taken its own options out. A single
// argument is a saved game's path; more than one, or one that looks like an option, is refused
// with the usage line.
std::variant<CommandLine, std::string> parseCommandLine(int argc, const char* const* argv);

}  // namespace kestro::shell
