// What one copy of the game sees of the others through the locks of their logs: the
// previous-instance flag of the log's header, and which logs of ended copies are swept away.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/unique_fd.h"
#include "diag/log.h"
#include "diag/log_file.h"
#include "log_child.h"
#include "log_fixture.h"

namespace kestro::test {
namespace {

namespace fs = std::filesystem;

std::string instanceRecord(std::int32_t pid, bool previous) {
    return "Instance: " + std::to_string(pid) + (previous ? " (True)" : " (False)") + "\r\n";
}

bool holds(const fs::path& log, const std::string& text) {
    return readFile(log).find(text) != std::string::npos;
}

// The names of the files in folder.
std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

void setModified(const fs::path& path, std::time_t seconds) {
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// First copy A takes the main log, second copy B its own. Once A has ended, a third copy takes
// the main log again, and still knows that another copy (B) runs; B's log stays when B ends.
TEST_F(LogTest, EveryCopyKnowsWhetherAnotherOneRuns) {
    auto a = std::make_unique<RunningCopy>();
    ASSERT_EQ(a->path(), logPath().string());
    EXPECT_TRUE(holds(logPath(), instanceRecord(a->pid(), false)));

    RunningCopy b;
    const fs::path bLog = exeFolder_ / ("kestro-" + std::to_string(b.pid()) + ".erl");
    ASSERT_EQ(b.path(), bLog.string());
    EXPECT_TRUE(holds(bLog, instanceRecord(b.pid(), true)));

    ASSERT_TRUE(a->end());
    a.reset();
    openAsStartUp();
    EXPECT_EQ(errorLogPath(), logPath().string());
    EXPECT_TRUE(holds(logPath(), instanceRecord(4194304, true))) << readFile(logPath());
    closeAsShutDown();

    ASSERT_TRUE(b.end());
    EXPECT_TRUE(holds(bLog, "Log file closed @ ")) << "a copy's log stays when it ends";

    // With every other copy gone, the flag is false again; the ended copy's log stays, as one of
    // the few most recent.
    resetErrorLog();
    openAsStartUp();
    EXPECT_TRUE(holds(logPath(), instanceRecord(4194304, false))) << readFile(logPath());
    EXPECT_TRUE(fs::exists(bLog));
}

// Logs of ended copies are removed at start-up but for the most recent few; a log whose copy
// still runs is never removed, however old, and neither is anything else in the folder.
TEST_F(LogTest, StartUpSweepsTheLogsOfEndedCopiesButTheMostRecent) {
    RunningCopy first;  // holds the main log
    ASSERT_EQ(first.path(), logPath().string());
    RunningCopy running;  // a copy with its own log, made to look the oldest of all
    const std::string runningName = fs::path(running.path()).filename().string();
    ASSERT_EQ(runningName, "kestro-" + std::to_string(running.pid()) + ".erl");
    setModified(running.path(), 1000);

    const std::time_t base = 1'700'000'000;
    std::vector<std::string> ended;  // oldest first
    for (int i = 0; i < 8; ++i) {
        ended.push_back("kestro-" + std::to_string(900001 + i) + ".erl");
        writeFile(exeFolder_ / ended.back(), "an ended copy's log\r\n");
        setModified(exeFolder_ / ended.back(), base + i);
    }
    // Not copies' logs of this game, or not files: left alone whatever their age.
    const std::vector<std::string> others = {"kestro-12x.erl", "kestro-.erl", "other-5.erl",
                                             "kestro-7.erl.bak", "kestro-8.erl"};
    for (const std::string& name : others) {
        if (name == "kestro-8.erl") {
            fs::create_directory(exeFolder_ / name);
        } else {
            writeFile(exeFolder_ / name, "");
        }
        setModified(exeFolder_ / name, 1);
    }
    const fs::path target = root_ / "target.erl";
    writeFile(target, "not ours");
    fs::create_symlink(target, exeFolder_ / "kestro-9.erl");

    openAsStartUp();
    const std::string own = "kestro-4194304.erl";
    EXPECT_EQ(errorLogPath(), (exeFolder_ / own).string());

    std::set<std::string> expected = {"kestro.erl", "kestro.erl.lock", runningName, own,
                                      "kestro-9.erl"};
    expected.insert(others.begin(), others.end());
    expected.insert(ended.end() - static_cast<std::ptrdiff_t>(kKeptCopyLogs), ended.end());
    EXPECT_EQ(namesIn(exeFolder_), expected);
    EXPECT_EQ(readFile(target), "not ours");
    closeAsShutDown();

    EXPECT_TRUE(running.end());
    EXPECT_TRUE(first.end());
}

// Opening a copy's log takes its lock: while another open file holds it (a copy of the same
// process id in another process namespace), the folder does not take this copy's log.
TEST_F(LogTest, ACopysLogHeldByAnotherCopyIsNotTaken) {
    RunningCopy first;
    ASSERT_EQ(first.path(), logPath().string());
    const std::string held = copyLogPath(exeFolder_.string(), "kestro", 4194304);
    writeFile(held, "");
    const UniqueFd fd(::open(held.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd.valid());
    ASSERT_EQ(::flock(fd.get(), LOCK_EX | LOCK_NB), 0);

    openAsStartUp();
    EXPECT_EQ(errorLogPath(), (root_ / "state" / "kestro" / "kestro.erl").string());
    EXPECT_EQ(readFile(held), "");
    closeAsShutDown();
    EXPECT_TRUE(first.end());
}

}  // namespace
}  // namespace kestro::test
