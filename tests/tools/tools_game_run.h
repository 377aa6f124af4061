#pragma once
// Runs the built kestro-sim with arguments and collects its exit status and output.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace kestro::sim::testing {

struct RunResult {
    int status = -1;  // the exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs KESTRO_SIM with args; stdout and stderr go through files in scratch.
inline RunResult runSim(const std::vector<std::string>& args,
                        const std::filesystem::path& scratch) {
    const std::string program = KESTRO_SIM;
    const auto outPath = scratch / "stdout.txt";
    const auto errPath = scratch / "stderr.txt";
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    RunResult r;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        r.err = "cannot start " + program;
        return r;
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    return r;
}

}  // namespace kestro::sim::testing
