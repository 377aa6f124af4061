#include "tools/render_exec.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tools/cli.h"

namespace kestro::sim {

namespace {

constexpr const char* kRenderProgram = "kestro-sim-render";

// Beside this program in the build and in a plain install, or in the package's libexec folder.
std::filesystem::path findRenderProgram() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        throw CliError(std::string("render: cannot find ") + kRenderProgram +
                       ": the path of this program is unknown");
    }
    const std::filesystem::path folder = self.parent_path();
    for (const auto& candidate :
         {folder / kRenderProgram, folder.parent_path() / "libexec" / "kestro" / kRenderProgram}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    throw CliError(std::string("render: cannot find ") + kRenderProgram + " beside " +
                   self.string());
}

}  // namespace

void execRender(const Args& args) {
    const std::filesystem::path program = findRenderProgram();
    std::vector<std::string> all{kRenderProgram};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(all.size() + 1);
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    throw CliError("render: cannot start " + program.string() + ": " + std::strerror(errno));
}

}  // namespace kestro::sim
