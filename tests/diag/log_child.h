#pragma once
// Copies of the game in child processes, for the tests of what one copy sees of the others: each
// opens the log as start-up does under its own process id and holds it until it is ended. Fork
// them while the test process holds no log of its own, or they would share its lock.

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "diag/log.h"
#include "diag/log_platform.h"

namespace kestro::test {

// Reads up to a newline from fd; false when the other side went away first.
inline bool readLine(int fd, std::string& line) {
    line.clear();
    for (char c; ::read(fd, &c, 1) == 1;) {
        if (c == '\n') {
            return true;
        }
        line += c;
    }
    return false;
}

class RunningCopy {
  public:
    // Starts the copy and waits until its log is open; path() is empty when it could not open.
    RunningCopy() {
        int toParent[2];
        int toChild[2];
        if (::pipe(toParent) != 0 || ::pipe(toChild) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(toParent[0]);
            ::close(toChild[1]);
            ::_exit(runChild(toParent[1], toChild[0]));
        }
        ::close(toParent[1]);
        ::close(toChild[0]);
        fromChild_ = toParent[0];
        toChild_ = toChild[1];
        if (pid_ < 0 || !readLine(fromChild_, path_)) {
            path_.clear();
        }
    }
    ~RunningCopy() {
        if (pid_ > 0 && running_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(fromChild_);
        ::close(toChild_);
    }
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& path() const { return path_; }  // the log the copy writes

    // Closes the copy's log in order and waits for it to end: true when all went well.
    bool end() {
        running_ = false;
        int status = 0;
        return ::write(toChild_, "e", 1) == 1 && ::waitpid(pid_, &status, 0) == pid_ &&
               WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

  private:
    static int runChild(int report, int orders) {
        try {
            resetErrorLog();
            LogPlatform p = currentLogPlatform();
            p.instance = static_cast<std::int32_t>(::getpid());
            setLogPlatform(p);
            errorLogFile(true, "kestro", 13, 0, false);
            const std::string line = errorLogPath() + "\n";
            char c;
            if (::write(report, line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
                ::read(orders, &c, 1) != 1) {
                return 1;
            }
            errorLogFile(false, "", 0, 0, false);
            return 0;
        } catch (...) {
            return 1;
        }
    }

    pid_t pid_ = -1;
    int fromChild_ = -1;
    int toChild_ = -1;
    bool running_ = true;
    std::string path_;
};

}  // namespace kestro::test
