#pragma once
// Runs a piece of a test as an unprivileged user, in a child process: as root the child drops to
// the user nobody, as any other user it keeps its own ids. Root writes over write-protected files,
// so what only a normal user meets is tested this way.

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "common/unique_fd.h"
#include "common/write_all.h"

namespace kestro::test {

inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNogroup = 65534;

// The ids the child of runAsUser runs with.
inline uid_t userId() {
    return ::geteuid() == 0 ? kNobody : ::geteuid();
}
inline gid_t userGroup() {
    return ::geteuid() == 0 ? kNogroup : ::getegid();
}

// Runs body in a child process as userId(), and gives the text it returned; nothing when the child
// could not be started or could not change its ids (the caller then skips). body must not use
// the test framework's assertions, which would report in the child.
inline std::optional<std::string> runAsUser(const std::function<std::string()>& body) {
    constexpr int kCannotDrop = 77;
    int fds[2];
    if (::pipe(fds) != 0) {
        return std::nullopt;
    }
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);
    const pid_t pid = ::fork();
    if (pid < 0) {
        return std::nullopt;
    }
    if (pid == 0) {
        readEnd.close();
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNogroup) != 0 ||
                                 ::setuid(kNobody) != 0 || ::geteuid() != kNobody)) {
            ::_exit(kCannotDrop);
        }
        std::string out;
        try {
            out = body();
        } catch (const std::exception& e) {
            out = std::string("exception: ") + e.what();
        }
        ::_exit(writeAll(writeEnd.get(), out.data(), out.size()) ? 0 : 1);
    }
    writeEnd.close();
    std::string out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(readEnd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return out;
}

}  // namespace kestro::test
