#pragma once
// Runs a program as a separate process with arguments and input, and collects its exit status
// and output.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace kestro::test {

struct RunResult {
    int status = -1;  // the exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Given as inPath or stdoutPath: the stream is closed in the program (as by the shell's <&- or
// >&-).
inline const std::filesystem::path kClosedStream = "<closed>";

// Runs program with args (the words after its name) in the current environment, its stdin read
// from inPath (a file, or a device such as /dev/zero); stdout goes to stdoutPath when one is
// given (say /dev/full; out then stays empty), else like stderr through a file in a scratch
// folder.
inline RunResult runProgramFrom(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& inPath,
                                const std::filesystem::path& stdoutPath = {}) {
    const TempDir scratch("kestro-run");
    const auto outPath = stdoutPath.empty() ? scratch / "stdout" : stdoutPath;
    const auto errPath = scratch / "stderr";

    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inPath == kClosedStream) {
        posix_spawn_file_actions_addclose(&actions, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    }
    if (outPath == kClosedStream) {
        posix_spawn_file_actions_addclose(&actions, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    RunResult r;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program;
        r.err = "cannot start " + program;
        return r;
    }
    int wstatus = 0;
    while (::waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    r.out = stdoutPath.empty() ? readFile(outPath) : std::string();
    r.err = readFile(errPath);
    return r;
}

// Runs program with args, input on its stdin.
inline RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& input = "") {
    const TempDir scratch("kestro-input");
    writeFile(scratch / "stdin", input);
    return runProgramFrom(program, args, scratch / "stdin");
}

}  // namespace kestro::test
