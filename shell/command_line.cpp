#include "shell/command_line.h"

#include "shell/app_info.h"

namespace kestro::shell {

std::string helpText() {
    return std::string(kUsage) +
           "\n"
           "Starts the game; with SAVED-GAME (a .egf file) the game starts with it loaded, as\n"
           "File > Open loads it.\n"
           "\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n";
}

std::string versionText() {
    return "kestro " + std::string(buildVersion()) + "\n";
}

ParsedCommandLine parseCommandLine(int argc, const char* const* argv) {
    if (argc <= 1) {
        return CommandLine{};
    }
    const std::string arg = argv[1];
    if (argc == 2 && arg == "--help") {
        return CommandLineInfo{helpText()};
    }
    if (argc == 2 && arg == "--version") {
        return CommandLineInfo{versionText()};
    }
    // A file whose name begins with "-" is still reached as "./-name".
    if (argc > 2 || arg.empty() || arg.front() == '-') {
        return CommandLineError{std::string(kUsage)};
    }
    return CommandLine{arg};
}

}  // namespace kestro::shell
