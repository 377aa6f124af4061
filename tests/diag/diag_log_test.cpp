#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime_error.h"
#include "diag/log.h"
#include "diag/log_file.h"
#include "diag/log_platform.h"
#include "log_fixture.h"

using ::testing::HasSubstr;

namespace kestro::test {
namespace {

namespace fs = std::filesystem;

const std::string kIndent18(18, ' ');
const std::string kIndent29(29, ' ');

const std::map<std::int32_t, std::string> kTags = {
    {2, "[ DANGER]  "}, {3, "[ ERROR ]  "}, {4, "[WARNING]  "},
    {5, "[  INFO ]  "}, {6, "[VERBOSE]  "}, {13, "[ DEBUG ]  "},
};

// The opening record of the log "kestro.erl" in dir at the platform's fixed time.
std::string openedRecord(const std::string& dir) {
    return "[  INFO ]  {Error Subsystem} Log file " + dir +
           "/kestro.erl opened @ 071226:220509\r\n";
}

// The program information of the fixture's platform as four records of their own.
std::string infoRecords(const std::string& dir, const std::string& version) {
    const std::string line = "[ DEBUG ]  " + kIndent18;
    return "[ DEBUG ]  {Error Subsystem} --Program Information--\r\n" + line + "EXE Image: " + dir +
           "/kestro\r\n" + line + "Instance: 4194304 (False)\r\n" + line + "Version: " + version +
           "\r\n";
}

// The same as one record: only its first line carries a tag, and only the end of the whole
// message loses its blanks, so the first line keeps its trailing one.
std::string infoBlock(const std::string& dir, const std::string& version) {
    return "[ DEBUG ]  {Error Subsystem} Program Information \r\n" + kIndent29 +
           "EXE Image: " + dir + "/kestro\r\n" + kIndent29 + "Instance: 4194304 (False)\r\n" +
           kIndent29 + "Version: " + version + "\r\n";
}

TEST_F(LogTest, StartUpLogHoldsBannerProgramInformationRecordsAndClosingBanner) {
    openAsStartUp();
    const std::string dir = exeFolder_.string();
    const std::string opened = openedRecord(dir) + infoRecords(dir, "4.0.2");
    // Every record is on disk as soon as it is written, before the log is closed.
    EXPECT_EQ(logText(), opened);
    EXPECT_TRUE(errorLogOpen());
    EXPECT_EQ(errorThreshold(), 13);
    EXPECT_EQ(errorFileNumber(), 13);
    EXPECT_EQ(errorLogPath(), dir + "/kestro.erl");

    EXPECT_TRUE(errorLogDebug("{cRender} Class_Initalize()"));
    EXPECT_EQ(logText(), opened + "[ DEBUG ]  {cRender} Class_Initalize()\r\n");

    now_ = {2026, 12, 7, 22, 30, 12};
    closeAsShutDown();
    EXPECT_EQ(logText(), opened +
                             "[ DEBUG ]  {cRender} Class_Initalize()\r\n"
                             "[  INFO ]  {Error Subsystem} Log file closed @ 071226:223012\r\n");
    EXPECT_FALSE(errorLogOpen());
}

TEST_F(LogTest, ProgramInformationLayouts) {
    const std::string dir = exeFolder_.string();
    struct Case {
        bool oneBlock;
        std::string comments;
        std::string block;
    };
    const std::vector<Case> cases = {
        {false, "beta build", infoRecords(dir, "4.0.2 beta build")},
        {true, "", infoBlock(dir, "4.0.2")},
        {true, "beta build", infoBlock(dir, "4.0.2 beta build")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "oneBlock " << c.oneBlock << ", comments '" << c.comments << "'");
        resetErrorLog();
        LogPlatform p = platform();
        p.comments = c.comments;
        setLogPlatform(p);
        ASSERT_TRUE(errorLogFile(true, "kestro", 13, 0, c.oneBlock));
        EXPECT_EQ(logText(), openedRecord(dir) + c.block);
    }
}

TEST(LogStamp, DayMonthYearColonHourMinuteSecondWithTwoDigitsEach) {
    struct Case {
        LocalDateTime t;
        const char* stamp;
    };
    const Case cases[] = {
        {{2026, 12, 7, 22, 5, 9}, "071226:220509"},
        {{2005, 1, 2, 3, 4, 5}, "020105:030405"},
        {{2000, 10, 31, 0, 0, 0}, "311000:000000"},
        {{1999, 6, 15, 23, 59, 59}, "150699:235959"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(logStamp(c.t), c.stamp);
    }
}

TEST_F(LogTest, EachWritingLevelHasItsElevenCharacterTag) {
    ASSERT_TRUE(errorLogFile(true, "kestro", 13, 1, false));  // threshold 1: no banners
    ASSERT_TRUE(errorLogFile(true, "", 0, 13, false));
    std::string expected;
    for (const auto& [level, tag] : kTags) {
        ASSERT_EQ(tag.size(), 11u);
        EXPECT_TRUE(errorLogWrite("m", level));
        expected += tag + "m\r\n";
    }
    EXPECT_EQ(logText(), expected);
}

TEST_F(LogTest, OnlyTrailingSpacesAreRemoved) {
    ASSERT_TRUE(errorLogFile(true, "kestro", 13, 1, false));
    ASSERT_TRUE(errorLogFile(true, "", 0, 13, false));
    const std::pair<std::string, std::string> cases[] = {
        {"done   ", "done"},
        {"   ", ""},
        {"", ""},
        {"  leading stays", "  leading stays"},
        {"tab stays\t", "tab stays\t"},
        {"first \r\nsecond  ", "first \r\nsecond"},
        {"über  ", "über"},
    };
    std::string expected;
    for (const auto& [message, written] : cases) {
        EXPECT_TRUE(errorLogWrite(message, 3));
        expected += "[ ERROR ]  " + written + "\r\n";
    }
    EXPECT_EQ(logText(), expected);
}

// Which levels write a record under which threshold. Each row's outcome string has one letter
// per level of kLevels: W written (true), T nothing written but true, - nothing written, false.
TEST_F(LogTest, ThresholdDecidesWhatIsWritten) {
    const std::int32_t kLevels[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 12, 13, 14};
    enum class Log { Open, NeverOpened, Closed };
    struct Row {
        Log log;
        std::int32_t threshold;  // the level the log is opened with
        const char* outcome;
    };
    const Row rows[] = {
        {Log::Open, 13, "--TWWWWW--W-"},       {Log::Open, 0, "--TWWWWW--W-"},  // 0 selects 13
        {Log::Open, 6, "--TWWWWW----"},        {Log::Open, 5, "--TWWWW-----"},
        {Log::Open, 4, "--TWWW------"},        {Log::Open, 3, "--TWW-------"},
        {Log::Open, 2, "--TW--------"},        {Log::Open, 1, "--T---------"},
        {Log::Open, 12, "--TWWWWW----"},       {Log::Open, 20, "--TWWWWW--W-"},
        {Log::Open, -1, "------------"},       {Log::Open, -5, "------------"},
        {Log::NeverOpened, 0, "--TTTTTT--T-"}, {Log::Closed, 13, "--TTTTTT--T-"},
        {Log::Closed, 5, "--TTTTT-----"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "log " << static_cast<int>(row.log) << ", threshold " << row.threshold);
        resetErrorLog();
        fs::remove(logPath());
        if (row.log != Log::NeverOpened) {
            ASSERT_TRUE(errorLogFile(true, "kestro", 13, row.threshold, false));
        }
        if (row.log == Log::Closed) {
            ASSERT_TRUE(errorLogFile(false, "", 0, 0, false));
        }
        const std::string before = logText();
        std::string expected = before;
        for (std::size_t i = 0; i < std::size(kLevels); ++i) {
            const std::int32_t level = kLevels[i];
            const char outcome = row.outcome[i];
            SCOPED_TRACE(::testing::Message() << "level " << level);
            EXPECT_EQ(errorLogWrite("message", level), outcome != '-');
            if (outcome == 'W') {
                expected += kTags.at(level) + "message\r\n";
            }
            EXPECT_EQ(logText(), expected);
        }
        if (row.log == Log::NeverOpened) {
            EXPECT_FALSE(fs::exists(logPath()));
            EXPECT_EQ(errorThreshold(), 13);  // the first write sets it
        }
    }
}

TEST_F(LogTest, BannersAndProgramInformationFollowTheThreshold) {
    const std::string openBanner = openedRecord(exeFolder_.string());
    const std::string closeBanner =
        "[  INFO ]  {Error Subsystem} Log file closed @ 071226:220509\r\n";
    const std::pair<std::int32_t, std::string> cases[] = {
        {6, openBanner + "[  INFO ]  info\r\n[ ERROR ]  error\r\n[VERBOSE]  verbose\r\n" +
                closeBanner},
        {5, openBanner + "[  INFO ]  info\r\n[ ERROR ]  error\r\n" + closeBanner},
        {4, "[ ERROR ]  error\r\n"},
        {1, ""},
    };
    for (const auto& [threshold, log] : cases) {
        SCOPED_TRACE(threshold);
        resetErrorLog();
        ASSERT_TRUE(errorLogFile(true, "kestro", 13, threshold, false));
        errorLogWrite("info", 5);
        errorLogWrite("error", 3);
        errorLogDebug("debug");
        errorLogWrite("verbose", 6);
        closeAsShutDown();
        EXPECT_EQ(logText(), log);
    }
}

TEST_F(LogTest, OpeningWhileOpenOnlySetsTheThreshold) {
    ASSERT_TRUE(errorLogFile(true, "kestro", 13, 5, false));
    errorLogWrite("kept", 3);
    const std::string before = logText();

    EXPECT_TRUE(errorLogFile(true, "other", 7, 3, true));
    EXPECT_EQ(logText(), before);  // neither reopened nor written to
    EXPECT_FALSE(fs::exists(exeFolder_ / "other.erl"));
    EXPECT_EQ(errorThreshold(), 3);
    EXPECT_EQ(errorFileNumber(), 13);
    EXPECT_EQ(errorLogPath(), logPath().string());

    EXPECT_TRUE(errorLogFile(true, "other", 7, 0, false));
    EXPECT_EQ(errorThreshold(), 13);  // 0 sets it back to 13
    errorLogDebug("still the same file");
    EXPECT_EQ(logText(), before + "[ DEBUG ]  still the same file\r\n");
}

TEST_F(LogTest, ClosedLogDropsWritesAndKeepsThresholdAndFileNumber) {
    ASSERT_TRUE(errorLogFile(true, "kestro", 9, 6, false));
    closeAsShutDown();
    const std::string closed = logText();
    EXPECT_FALSE(errorLogOpen());
    EXPECT_EQ(errorThreshold(), 6);
    EXPECT_EQ(errorFileNumber(), 9);

    EXPECT_TRUE(errorLogWrite("after the close", 3));
    EXPECT_FALSE(errorLogDebug("after the close"));     // above the kept threshold
    EXPECT_TRUE(errorLogFile(false, "", 0, 0, false));  // a second close changes nothing
    EXPECT_EQ(logText(), closed);

    // Opening again starts a new, emptied log.
    now_ = {2027, 1, 1, 0, 0, 1};
    ASSERT_TRUE(errorLogFile(true, "kestro", 13, 5, false));
    EXPECT_EQ(logText(), "[  INFO ]  {Error Subsystem} Log file " + logPath().string() +
                             " opened @ 010127:000001\r\n");
}

TEST_F(LogTest, StartingAgainEmptiesThePreviousLog) {
    writeFile(logPath(), "[ DEBUG ]  last run\r\n" + std::string(5000, 'x'));
    ASSERT_TRUE(errorLogFile(true, "kestro", 13, 1, false));
    EXPECT_EQ(logText(), "");
}

TEST_F(LogTest, ClosingANeverOpenedLogCreatesNothing) {
    EXPECT_TRUE(errorLogFile(false, "", 0, 0, false));
    EXPECT_FALSE(errorLogOpen());
    EXPECT_TRUE(fs::is_empty(exeFolder_));
}

TEST_F(LogTest, FolderEndingInSeparatorGetsASecondOne) {
    LogPlatform p = platform();
    p.exeFolder += "/";
    setLogPlatform(p);
    openAsStartUp();
    const std::string text = logText();
    EXPECT_THAT(text, HasSubstr("Log file " + exeFolder_.string() + "//kestro.erl opened")) << text;
    EXPECT_THAT(text, HasSubstr("EXE Image: " + exeFolder_.string() + "//kestro\r\n")) << text;
}

TEST_F(LogTest, FailedWritesAreDroppedSilently) {
    // A full disk: every write fails with ENOSPC. A character device takes the log, so the
    // records really go to it, and nothing shows elsewhere.
    fs::create_symlink("/dev/full", logPath());
    openAsStartUp();
    EXPECT_TRUE(errorLogOpen());
    EXPECT_EQ(errorLogPath(), logPath().string());
    EXPECT_FALSE(fs::exists(root_ / "state"));
    EXPECT_TRUE(errorLogWrite("{cRender} renderStart()", 3));
    EXPECT_TRUE(errorLogDebug("more"));
    closeAsShutDown();
    EXPECT_EQ(fs::read_symlink(logPath()), "/dev/full");

    // The folder removed under an open log.
    resetErrorLog();
    fs::remove(logPath());
    openAsStartUp();
    fs::remove_all(exeFolder_);
    EXPECT_TRUE(errorLogWrite("into a removed folder", 2));
    closeAsShutDown();
}

TEST(LogStateFolders, XdgStateHomeThenHome) {
    struct Case {
        std::optional<std::string> xdg;
        std::vector<std::string> folders;
    };
    const std::string home = "/home/player/.local/state/kestro";
    const Case cases[] = {
        {"/var/tmp/state", {"/var/tmp/state/kestro", home}},
        {std::nullopt, {home}},
        {"", {home}},
        {"relative/state", {home}},
        {"/home/player/.local/state", {home}},  // the same folder is tried once
    };
    ScopedEnv homeVariable("HOME", "/home/player");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xdg.value_or("(unset)"));
        ScopedEnv xdg("XDG_STATE_HOME", c.xdg);
        EXPECT_EQ(logStateFolders(), c.folders);
    }
}

TEST(LogStateFolders, WithoutHomeTheUsersHomeFromThePasswordDatabase) {
    ScopedEnv homeVariable("HOME", std::nullopt);
    ScopedEnv xdg("XDG_STATE_HOME", std::nullopt);
    const passwd* pw = ::getpwuid(::getuid());
    if (pw == nullptr || pw->pw_dir == nullptr || *pw->pw_dir == '\0') {
        EXPECT_EQ(logStateFolders(), std::vector<std::string>{});
    } else {
        EXPECT_EQ(logStateFolders(),
                  std::vector<std::string>{std::string(pw->pw_dir) + "/.local/state/kestro"});
    }
}

TEST(IsSystemFolder, UsrAndOptAndWhatLiesBelowThem) {
    const std::pair<const char*, bool> cases[] = {
        {"/usr/games", true}, {"/usr/local/bin", true},
        {"/usr", true},       {"/opt/kestro", true},
        {"/opt", true},       {"/usrlocal/bin", false},
        {"/optical", false},  {"/home/player/kestro/build/default/shell", false},
        {"", false},          {"/work/usr/bin", false},
    };
    for (const auto& [folder, system] : cases) {
        EXPECT_EQ(isSystemFolder(folder), system) << folder;
    }
}

TEST_F(LogTest, UnusableExecutableFolderMovesTheLogToTheStateFolder) {
    writeFile(root_ / "plain-file", "not a folder");
    // Neither is usable even by root: a regular file is no folder, and /proc takes no files.
    const std::string unusable[] = {(root_ / "plain-file").string(), "/proc"};
    for (std::size_t i = 0; i < std::size(unusable); ++i) {
        const std::string& folder = unusable[i];
        SCOPED_TRACE(folder);
        resetErrorLog();
        // A state folder whose parents do not exist yet.
        const fs::path state = root_ / ("state-" + std::to_string(i)) / "deep";
        ScopedEnv xdg("XDG_STATE_HOME", state.string());
        LogPlatform p = platform();
        p.exeFolder = folder;
        setLogPlatform(p);

        openAsStartUp();
        const fs::path used = state / "kestro" / "kestro.erl";
        EXPECT_EQ(errorLogPath(), used.string());
        const std::string text = readFile(used);
        EXPECT_EQ(text.substr(0, text.find("\r\n")), "[  INFO ]  {Error Subsystem} Log file " +
                                                         used.string() + " opened @ 071226:220509");
        // The program information still names the executable where it is.
        EXPECT_THAT(text, HasSubstr("EXE Image: " + folder + "/kestro\r\n"));
        closeAsShutDown();
    }
}

TEST_F(LogTest, OpeningFailsWithoutChangesWhenNoFolderCanHoldTheLog) {
    ASSERT_TRUE(errorLogFile(true, "kestro", 7, 6, false));
    closeAsShutDown();

    writeFile(root_ / "plain-file", "not a folder");
    ScopedEnv xdg("XDG_STATE_HOME", (root_ / "plain-file" / "state").string());
    ScopedEnv home("HOME", (root_ / "plain-file").string());
    LogPlatform p = platform();
    p.exeFolder = (root_ / "plain-file").string();
    setLogPlatform(p);

    try {
        errorLogFile(true, "kestro", 13, 2, false);
        ADD_FAILURE() << "opened although no folder can hold the log";
    } catch (const LogUnavailable& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_EQ(e.description(), "Path/File access error");
        const std::string plain = (root_ / "plain-file").string();
        EXPECT_EQ(e.tried(), (std::vector<std::string>{plain + "/kestro.erl",
                                                       plain + "/state/kestro/kestro.erl",
                                                       plain + "/.local/state/kestro/kestro.erl"}));
    }
    EXPECT_FALSE(errorLogOpen());
    EXPECT_EQ(errorThreshold(), 6);
    EXPECT_EQ(errorFileNumber(), 7);
    EXPECT_EQ(errorLogPath(), logPath().string());
    EXPECT_TRUE(errorLogWrite("dropped", 3));
}

// Waits for one byte on fd; false when the other side went away.
bool waitFor(int fd) {
    char c;
    return ::read(fd, &c, 1) == 1;
}

TEST_F(LogTest, SecondInstanceWritesItsOwnLog) {
    int toParent[2];
    int toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The first instance: opens the log and keeps it open until told to close it.
        ::close(toParent[0]);
        ::close(toChild[1]);
        int status = 1;
        try {
            if (errorLogFile(true, "kestro", 13, 0, false) && errorLogDebug("first instance") &&
                ::write(toParent[1], "o", 1) == 1 && waitFor(toChild[0]) &&
                errorLogFile(false, "", 0, 0, false)) {
                status = 0;
            }
        } catch (...) {
        }
        ::_exit(status);
    }
    ::close(toParent[1]);
    ::close(toChild[0]);
    ASSERT_TRUE(waitFor(toParent[0]));

    LogPlatform p = platform();
    p.instance = 777;
    setLogPlatform(p);
    openAsStartUp();
    const fs::path own = exeFolder_ / "kestro-777.erl";
    EXPECT_EQ(errorLogPath(), own.string());
    const std::string text = readFile(own);
    EXPECT_THAT(text, HasSubstr("Log file " + own.string() + " opened @ "));
    EXPECT_THAT(text, HasSubstr("Instance: 777 (True)\r\n"));
    // The first instance's log is untouched.
    EXPECT_THAT(logText(), HasSubstr("[ DEBUG ]  first instance\r\n"));
    closeAsShutDown();

    ASSERT_EQ(::write(toChild[1], "c", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(toParent[0]);
    ::close(toChild[1]);

    // With the first instance gone, the main log is free again.
    resetErrorLog();
    openAsStartUp();
    EXPECT_EQ(errorLogPath(), logPath().string());
    EXPECT_THAT(logText(), HasSubstr("Instance: 777 (False)\r\n"));
}

TEST_F(LogTest, LockHeldByAnotherOpenOfTheLockFileCountsAsAnInstance) {
    const int held = ::open((logPath().string() + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    openAsStartUp();
    EXPECT_EQ(errorLogPath(), (exeFolder_ / "kestro-4194304.erl").string());
    EXPECT_FALSE(fs::exists(logPath()));
    closeAsShutDown();
    ::close(held);
}

TEST(RealLogPlatform, DescribesTheRunningProgram) {
    const LogPlatform p = realLogPlatform();
    EXPECT_EQ(fs::path(p.exeFolder) / p.exeName, fs::read_symlink("/proc/self/exe"));
    EXPECT_EQ(p.instance, ::getpid());
    EXPECT_EQ(p.versionMajor, KESTRO_VERSION_MAJOR);
    EXPECT_EQ(p.versionMinor, KESTRO_VERSION_MINOR);
    EXPECT_EQ(p.versionPatch, KESTRO_VERSION_PATCH);
    EXPECT_EQ(p.comments, "");

    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    const LocalDateTime t = p.now();
    EXPECT_EQ(t.year, tm.tm_year + 1900);
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
    EXPECT_GE(t.day, 1);
    EXPECT_LE(t.day, 31);
}

}  // namespace
}  // namespace kestro::test
