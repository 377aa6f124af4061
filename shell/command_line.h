#pragma once
// The game's command line: nothing, the path of a saved game to start with, or a request for the
// usage or the version. Qt's own settings come only through its environment variables.

#include <optional>
#include <string>
#include <variant>

namespace kestro::shell {

inline constexpr const char* kUsage = "Usage: kestro [SAVED-GAME]";

// Start the game, with this saved game loaded when there is one.
struct CommandLine {
    std::optional<std::string> savedGame;
};

// --help or --version: this text goes to standard output and the program ends with status 0.
struct CommandLineInfo {
    std::string text;
};

// A command line the game does not take: the usage goes to standard error, status 2.
struct CommandLineError {
    std::string text;
};

using ParsedCommandLine = std::variant<CommandLine, CommandLineInfo, CommandLineError>;

// The whole command line as the program was started with it, argv[0] included. A single
// argument is a saved game's path, or --help, or --version; anything else (more than one
// argument, an empty one, another that begins with "-") is refused with the usage line.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv);

// The text of --help: the usage line, what it does, and the two options.
std::string helpText();
// The text of --version: the program's name and the build's version.
std::string versionText();

}  // namespace kestro::shell
