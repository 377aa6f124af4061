#include "shell/command_line.h"

namespace kestro::shell {

std::variant<CommandLine, std::string> parseCommandLine(int argc, const char* const* argv) {
    if (argc <= 1) {
        return CommandLine{};
    }
    const std::string arg = argv[1];
    // A file whose name begins with "-" is still reached as "./-name".
    if (argc > 2 || arg.empty() || arg.front() == '-') {
        return std::string(kUsage);
    }
    return CommandLine{arg};
}

}  // namespace kestro::shell
