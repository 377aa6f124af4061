// Where the log goes: beside the executable, then $XDG_STATE_HOME/kestro, then
// ~/.local/state/kestro; an installed game's folder is never written; and with none of them
// the game goes on without a log.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "diag/log.h"
#include "diag/log_platform.h"
#include "log_child.h"
#include "log_fixture.h"

using ::testing::HasSubstr;

namespace kestro::test {
namespace {

namespace fs = std::filesystem;

TEST_F(LogTest, TheLogGoesToTheFirstFolderThatTakesIt) {
    const fs::path plain = root_ / "plain-file";
    writeFile(plain, "not a folder");
    const fs::path xdgLog = root_ / "state" / "kestro" / "kestro.erl";
    const fs::path homeLog = root_ / "home" / ".local" / "state" / "kestro" / "kestro.erl";
    struct Case {
        const char* what;
        std::string exeFolder;
        std::optional<std::string> xdg;
        fs::path log;
    };
    const Case cases[] = {
        {"beside the executable", exeFolder_.string(), (root_ / "state").string(), logPath()},
        {"an unusable executable folder", plain.string(), (root_ / "state").string(), xdgLog},
        {"XDG_STATE_HOME naming a plain file", plain.string(), plain.string(), homeLog},
        {"XDG_STATE_HOME unset", plain.string(), std::nullopt, homeLog},
        // An installed game: its folder is not written even by a user (root) who could.
        {"a game installed under /usr", "/usr/games", (root_ / "state").string(), xdgLog},
        {"a game installed under /opt", "/opt/kestro/bin", (root_ / "state").string(), xdgLog},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetErrorLog();
        ScopedEnv xdg("XDG_STATE_HOME", c.xdg);
        LogPlatform p = platform();
        p.exeFolder = c.exeFolder;
        setLogPlatform(p);
        const bool systemLogBefore = fs::exists(c.exeFolder + "/kestro.erl.lock");

        EXPECT_EQ(errorLogFileOrGoWithout("kestro", 13, 0, false), std::nullopt);
        EXPECT_EQ(errorLogPath(), c.log.string());
        const std::string text = readFile(c.log);
        EXPECT_EQ(logRecords(text).at(0), "[  INFO ]  {Error Subsystem} Log file " +
                                              c.log.string() + " opened @ 071226:220509");
        EXPECT_THAT(text, HasSubstr("EXE Image: " + c.exeFolder + "/kestro\r\n"));
        if (isSystemFolder(c.exeFolder)) {
            EXPECT_EQ(fs::exists(c.exeFolder + "/kestro.erl.lock"), systemLogBefore);
        }
        closeAsShutDown();
        fs::remove(c.log);
    }
}

// No folder takes the log: the game goes on without one, every write dropped as while the log
// is closed, and the one line for standard error names every path tried.
TEST_F(LogTest, WithoutAnyFolderTheGameGoesOnWithoutALog) {
    const fs::path plain = root_ / "plain-file";
    writeFile(plain, "not a folder");
    ScopedEnv xdg("XDG_STATE_HOME", plain.string());
    ScopedEnv home("HOME", plain.string());
    LogPlatform p = platform();
    p.exeFolder = plain.string();
    setLogPlatform(p);

    const std::optional<std::string> said = errorLogFileOrGoWithout("kestro", 13, 0, false);
    const std::string f = plain.string();
    EXPECT_EQ(said, "kestro: running without a log; none of these could be opened: " + f +
                        "/kestro.erl, " + f + "/kestro/kestro.erl, " + f +
                        "/.local/state/kestro/kestro.erl");
    EXPECT_FALSE(errorLogOpen());
    EXPECT_EQ(errorThreshold(), 0);  // nothing changed
    EXPECT_TRUE(errorLogWrite("There's an undefined number in renderer_render!", 3));
    EXPECT_TRUE(errorLogFile(false, "", 0, 0, false));
    EXPECT_EQ(readFile(plain), "not a folder");
    EXPECT_FALSE(fs::exists(root_ / "state"));
    EXPECT_FALSE(fs::exists(root_ / "home"));
}

constexpr int kCannotDrop = 77;
constexpr uid_t kNobody = 65534;

// Folders the user may not write: the executable's, the state folder's parent and the home.
// Run in a child process as nobody when the tests run as root, since root writes anywhere; as
// nobody without HOME, whose home from the password database is no folder to write either.
TEST_F(LogTest, UnwritableFoldersLeaveTheGameWithoutALog) {
    const fs::path state = root_ / "state-ro";
    const fs::path home = root_ / "home-ro";
    fs::create_directory(state);
    fs::create_directory(home);
    for (const fs::path& folder : {exeFolder_, state, home}) {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    }
    fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    ScopedEnv xdg("XDG_STATE_HOME", state.string());
    ScopedEnv homeVariable("HOME", home.string());

    const bool asRoot = ::geteuid() == 0;
    std::string homeState = home.string() + "/.local/state/kestro";
    if (asRoot) {
        const passwd* nobody = ::getpwuid(kNobody);
        if (nobody == nullptr || nobody->pw_dir == nullptr || *nobody->pw_dir != '/') {
            GTEST_SKIP() << "no user nobody with a home folder in the password database";
        }
        homeState = std::string(nobody->pw_dir) + "/.local/state/kestro";
    }

    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        if (asRoot) {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(kCannotDrop);
            }
            ::unsetenv("HOME");
        }
        if (::access(exeFolder_.c_str(), W_OK) == 0) {
            ::_exit(kCannotDrop);  // a user whom the modes do not bind
        }
        const std::optional<std::string> said = errorLogFileOrGoWithout("kestro", 13, 0, false);
        const std::string line = said.value_or("(a log was opened)") + "\n";
        const bool written =
            ::write(report[1], line.data(), line.size()) == static_cast<ssize_t>(line.size());
        ::_exit(written && said && !errorLogOpen() && errorLogWrite("dropped", 3) ? 0 : 1);
    }
    ::close(report[1]);
    std::string line;
    readLine(report[0], line);
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotDrop) {
        GTEST_SKIP() << "no user here whom the folders' modes keep out";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << line;
    EXPECT_EQ(line, "kestro: running without a log; none of these could be opened: " +
                        exeFolder_.string() + "/kestro.erl, " + state.string() +
                        "/kestro/kestro.erl, " + homeState + "/kestro.erl");
    EXPECT_TRUE(fs::is_empty(exeFolder_));
    EXPECT_TRUE(fs::is_empty(state));
    EXPECT_TRUE(fs::is_empty(home));
}

}  // namespace
}  // namespace kestro::test
