// The real program as a process: its command line (the usage and the version without a display,
// Qt's own options refused) and the signals that ask it to close.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/hang_guard.h"
#include "tests/support/process.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

namespace fs = std::filesystem;
using kestro::test::ScopedEnv;

TEST(ShellProgram, HelpAndVersionGoToStandardOutputWithoutADisplay) {
    // No display and no platform: the program must not reach Qt at all.
    const ScopedEnv display("DISPLAY", std::nullopt);
    const ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    const ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
    struct Case {
        const char* option;
        std::string begins;
    };
    const Case cases[] = {{"--help", "Usage: kestro [SAVED-GAME]\n"}, {"--version", "kestro "}};
    for (const Case& c : cases) {
        const auto r = kestro::test::runProgram(KESTRO_GAME, {c.option});
        EXPECT_EQ(r.status, 0) << c.option << ": " << r.err;
        EXPECT_EQ(r.out.rfind(c.begins, 0), 0u) << c.option << ": " << r.out;
        EXPECT_EQ(r.out.back(), '\n') << c.option;
        EXPECT_EQ(r.err, "") << c.option;
    }
    const auto help = kestro::test::runProgram(KESTRO_GAME, {"--help"});
    EXPECT_THAT(help.out, HasSubstr("--version"));
}

TEST(ShellProgram, AFailedWriteOfTheHelpIsReported) {
    const auto r = kestro::test::runProgramFrom(KESTRO_GAME, {"--help"}, "/dev/null", "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("kestro: standard output"));
}

TEST(ShellProgram, QtsOwnOptionsAndUnknownOnesGetTheUsageOnStandardError) {
    // Qt would read the style sheet (endlessly from /dev/zero); the game takes no such option.
    const kestro::test::HangGuard guard("kestro with Qt's options", 30);
    const std::vector<std::vector<std::string>> cases = {
        {"-stylesheet", "/dev/zero"}, {"-platform", "offscreen"}, {"--nope"}, {"-"},
        {"a.egf", "b.egf"},           {"--help", "--version"},
    };
    for (const auto& args : cases) {
        const auto r = kestro::test::runProgram(KESTRO_GAME, args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        EXPECT_EQ(r.err, "Usage: kestro [SAVED-GAME]\n") << args[0];
    }
}

// The game started from a copy in a folder of its own, so that its log lies there, on the
// offscreen platform chosen through Qt's environment variable.
class RunningGame {
  public:
    RunningGame() {
        fs::copy_file(KESTRO_GAME, dir_ / "kestro");
        const std::string exe = (dir_ / "kestro").string();
        std::fflush(nullptr);  // the child would write out what the parent has buffered
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            // What the game keeps per user stays in the test's folder.
            ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
            ::setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
            const std::string out = (dir_ / "output").string();
            std::freopen(out.c_str(), "w", stdout);
            std::freopen(out.c_str(), "a", stderr);
            ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~RunningGame() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    RunningGame(const RunningGame&) = delete;
    RunningGame& operator=(const RunningGame&) = delete;

    pid_t pid() const { return pid_; }
    std::string log() const {
        const fs::path p = dir_ / "kestro.erl";
        return fs::exists(p) ? kestro::test::readFile(p) : std::string();
    }
    // Waits until the frame loop runs (the log says so), at most 20 s.
    bool waitUntilRunning() const {
        for (int i = 0; i < 2000; ++i) {
            if (log().find("renderStart()") != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        waited_ = true;
        return status;
    }

  private:
    kestro::test::TempDir dir_{"kestro-signal"};
    pid_t pid_ = -1;
    bool waited_ = false;
};

constexpr const char* kClosingLine = "{Error Subsystem} Log file closed @ ";

TEST(ShellProgram, ACloseSignalRunsTheOrderlyShutDownAndEndsAsTheSignalWould) {
    const kestro::test::HangGuard guard("a game closed by a signal", 60);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        RunningGame game;
        ASSERT_TRUE(game.waitUntilRunning()) << "signal " << sig << ": " << game.log();
        const auto sent = std::chrono::steady_clock::now();
        ASSERT_EQ(::kill(game.pid(), sig), 0);
        const int status = game.wait();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - sent);
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << sig << ", status " << status;
        EXPECT_EQ(WTERMSIG(status), sig);
        const std::string log = game.log();
        EXPECT_THAT(log, HasSubstr("renderStop()"));
        EXPECT_THAT(log, HasSubstr("Class_Terminate()"));
        const auto closing = log.rfind(kClosingLine);
        ASSERT_NE(closing, std::string::npos) << log;
        EXPECT_EQ(log.find("\r\n", closing), log.size() - 2) << "the closing line is the last";
        std::printf("signal %d to exit: %lld ms\n", sig, static_cast<long long>(took.count()));
    }
}

TEST(ShellProgram, ASecondCloseSignalEndsAtOnce) {
    const kestro::test::HangGuard guard("a game given two signals", 30);
    RunningGame game;
    ASSERT_TRUE(game.waitUntilRunning()) << game.log();
    // Both arrive before the game can run a line of its own: the first asks for the close, the
    // second ends the process before the shut-down has begun.
    ASSERT_EQ(::kill(game.pid(), SIGSTOP), 0);
    ASSERT_EQ(::kill(game.pid(), SIGINT), 0);
    ASSERT_EQ(::kill(game.pid(), SIGTERM), 0);
    ASSERT_EQ(::kill(game.pid(), SIGCONT), 0);
    const int status = game.wait();
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_TRUE(WTERMSIG(status) == SIGTERM || WTERMSIG(status) == SIGINT) << WTERMSIG(status);
    EXPECT_THAT(game.log(), Not(HasSubstr(kClosingLine)));
}

}  // namespace
