// The table and the run record on disk: round trips, damage moved aside, files that are not
// what they should be, folders that cannot be written, and two copies recording at once.

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "records/date.h"
#include "records/files.h"
#include "records/places.h"
#include "tests/support/as_user.h"
#include "tests/support/files.h"
#include "tests/support/hang_guard.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace kestro::records {
namespace {

namespace fs = std::filesystem;

Entry entry(const std::string& name, std::int32_t points) {
    return Entry{name, RunScore{points, 4, 5, 300, "2024-05-01T10:00:00Z"}, false};
}

// The files in folder whose names begin with prefix.
std::vector<fs::path> filesStarting(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().filename().string().starts_with(prefix)) {
            found.push_back(e.path());
        }
    }
    return found;
}

class ScoreFile : public ::testing::Test {
  protected:
    const test::TempDir dir_{"kestro-scores"};
    const fs::path path_ = dir_ / "data" / "kestro" / "scores";
};

TEST_F(ScoreFile, RecordsIntoANewFileAndReadsItBack) {
    const auto none = readTable(path_);
    ASSERT_TRUE(none.ok()) << none.error();
    EXPECT_TRUE(none.value().empty());

    const auto first = recordRun(path_, entry("Ann", 100));
    ASSERT_TRUE(first.ok()) << first.error();
    EXPECT_EQ(first.value().rank, 1u);
    EXPECT_EQ(first.value().notice, std::nullopt);
    const auto second = recordRun(path_, entry(" Bob\n", 300));  // the name is cleaned
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(second.value().rank, 1u);

    const Table expected{entry("Bob", 300), entry("Ann", 100)};
    EXPECT_EQ(second.value().table, expected);
    EXPECT_EQ(test::readFile(path_), formatTable(expected));
    const auto back = readTable(path_);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(back.value(), expected);
}

// An entry that stays out leaves the file as it was.
TEST_F(ScoreFile, AnEntryOutsideTheTenChangesNothing) {
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(recordRun(path_, entry("p" + std::to_string(i), 100 + i)).ok());
    }
    const std::string before = test::readFile(path_);
    const auto out = recordRun(path_, entry("late", 100));
    ASSERT_TRUE(out.ok()) << out.error();
    EXPECT_EQ(out.value().rank, std::nullopt);
    EXPECT_EQ(out.value().table.size(), kTableSize);
    EXPECT_EQ(test::readFile(path_), before);
}

// A damaged table, or one larger than any table, is moved aside whole and a new one begins
// with the entry; the caller gets the sentence to tell.
TEST_F(ScoreFile, ADamagedTableIsMovedAsideAndANewOneBegins) {
    const std::string huge = "kestro-scores 1\n" + std::string(2 * kMostTableBytes, 'x');
    for (const std::string& damaged : {std::string("kestro-scores 1\n10 1 5 300 bad - Ann\n"),
                                       std::string("\x01\x02 not text"), huge}) {
        SCOPED_TRACE(damaged.substr(0, 40));
        fs::remove_all(path_.parent_path());
        fs::create_directories(path_.parent_path());
        test::writeFile(path_, damaged);
        const auto bad = readTable(path_);
        ASSERT_FALSE(bad.ok());
        EXPECT_NE(bad.error().find("is not a high-score table"), std::string::npos) << bad.error();

        const auto r = recordRun(path_, entry("Ann", 50));
        ASSERT_TRUE(r.ok()) << r.error();
        EXPECT_EQ(r.value().rank, 1u);
        ASSERT_TRUE(r.value().notice);
        const auto aside = filesStarting(path_.parent_path(), "scores.damaged-");
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(aside[0].filename().string(), "scores.damaged-" + dateNow().substr(0, 10));
        EXPECT_EQ(test::readFile(aside[0]), damaged);
        EXPECT_NE(r.value().notice->find(aside[0].string()), std::string::npos);
        EXPECT_EQ(test::readFile(path_), formatTable({entry("Ann", 50)}));

        // A second damaged table the same day takes the next name.
        test::writeFile(path_, damaged);
        ASSERT_TRUE(recordRun(path_, entry("Bob", 60)).ok());
        EXPECT_EQ(filesStarting(path_.parent_path(), "scores.damaged-").size(), 2u);
        EXPECT_TRUE(fs::exists(aside[0].string() + "-2"));
    }
}

// A FIFO, a folder or a device where the table should be is refused at once: nothing waits for
// a writer, nothing is moved or written over.
TEST_F(ScoreFile, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
    const test::HangGuard guard("recording a run into a FIFO");
    fs::create_directories(path_.parent_path());
    ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
    EXPECT_FALSE(readTable(path_).ok());
    const auto fifo = recordRun(path_, entry("Ann", 50));
    ASSERT_FALSE(fifo.ok());
    EXPECT_NE(fifo.error().find("is not a regular file"), std::string::npos) << fifo.error();
    EXPECT_TRUE(fs::is_fifo(path_));
    EXPECT_TRUE(filesStarting(path_.parent_path(), "scores.damaged-").empty());

    EXPECT_FALSE(readTable("/dev/zero").ok());
    fs::remove(path_);
    fs::create_directory(path_);
    EXPECT_FALSE(recordRun(path_, entry("Ann", 50)).ok());

    // A lock file that is a FIFO is not waited on either.
    fs::remove(path_);
    fs::remove(path_.string() + ".lock");
    ASSERT_EQ(::mkfifo((path_.string() + ".lock").c_str(), 0600), 0);
    const auto lock = recordRun(path_, entry("Ann", 50));
    ASSERT_FALSE(lock.ok());
    EXPECT_FALSE(fs::exists(path_));
}

// A folder the user cannot write: the run is not kept, and the reason says why.
TEST_F(ScoreFile, AFolderThatCannotBeWrittenKeepsNothingAndSaysWhy) {
    const fs::path plain = dir_ / "plain";
    test::writeFile(plain, "a file, not a folder");
    const auto under = recordRun(plain / "kestro" / "scores", entry("Ann", 50));
    ASSERT_FALSE(under.ok());
    EXPECT_NE(under.error().find("cannot make the folder"), std::string::npos) << under.error();

    // A read-only folder, as a user other than root meets it.
    const fs::path folder = dir_ / "readonly";
    fs::create_directory(folder);
    ::chmod(dir_.path().c_str(), 0755);
    ::chmod(folder.c_str(), 0555);
    const auto out = test::runAsUser([&] {
        const auto r = recordRun(folder / "scores", entry("Ann", 50));
        return r.ok() ? std::string("kept") : r.error();
    });
    if (!out) {
        GTEST_SKIP() << "cannot run as an unprivileged user";
    }
    EXPECT_NE(out->find("Permission denied"), std::string::npos) << *out;
    EXPECT_FALSE(fs::exists(folder / "scores"));
    EXPECT_TRUE(notKeptText(*out).starts_with("This run was not kept"));
}

// Copies of the game ending runs at the same moment each keep their entry: the lock holds from
// the read to the write.
TEST_F(ScoreFile, CopiesRecordingAtOnceAllKeepTheirEntries) {
    const test::HangGuard guard("copies recording at once", 60);
    constexpr int kCopies = 5;
    constexpr int kRunsEach = 2;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int c = 0; c < kCopies; ++c) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(go[1]);
            char byte = 0;
            (void)!::read(go[0], &byte, 1);  // all start together when the pipe closes
            bool ok = true;
            for (int r = 0; r < kRunsEach; ++r) {
                ok = recordRun(path_, entry("copy" + std::to_string(c) + "." + std::to_string(r),
                                            100 + c * kRunsEach + r))
                         .ok() &&
                     ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    ::close(go[0]);
    ::close(go[1]);
    for (const pid_t pid : children) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto table = readTable(path_);
    ASSERT_TRUE(table.ok()) << table.error();
    ASSERT_EQ(table.value().size(), static_cast<std::size_t>(kCopies * kRunsEach));
    for (std::size_t i = 0; i < table.value().size(); ++i) {
        EXPECT_EQ(table.value()[i].score.points,
                  static_cast<std::int32_t>(100 + kCopies * kRunsEach - 1 - i));
    }
}

TEST_F(ScoreFile, TheRunRecordRoundTripsBesideItsGame) {
    const fs::path game = dir_ / "last.egf";
    const fs::path beside = runRecordPath(game);
    EXPECT_EQ(beside, dir_ / "last.run");
    const RunRecord record{true, RunScore{77, 2, 5, 300, "2024-05-01T10:00:00Z"}};
    ASSERT_TRUE(saveRunRecord(beside, record).ok());
    const auto back = loadRunRecord(beside);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(back.value(), record);

    test::writeFile(beside, std::string(kMostRunRecordBytes + 1, 'x'));
    EXPECT_FALSE(loadRunRecord(beside).ok());
    test::writeFile(beside, "kestro-run 1\norigin\n");
    EXPECT_FALSE(loadRunRecord(beside).ok());
    EXPECT_FALSE(loadRunRecord(dir_ / "none.run").ok());
}

TEST(Places, FollowTheXdgFoldersElseHome) {
    struct Case {
        std::optional<std::string> data, state, home;
        std::optional<fs::path> scores, lastGame;
    };
    const Case cases[] = {
        {"/x/data", "/x/state", "/h", fs::path("/x/data/kestro/scores"),
         fs::path("/x/state/kestro/last.egf")},
        {std::nullopt, std::nullopt, "/h", fs::path("/h/.local/share/kestro/scores"),
         fs::path("/h/.local/state/kestro/last.egf")},
        // A relative XDG folder does not count.
        {"rel/data", "", "/h", fs::path("/h/.local/share/kestro/scores"),
         fs::path("/h/.local/state/kestro/last.egf")},
    };
    for (const Case& c : cases) {
        const test::ScopedEnv data("XDG_DATA_HOME", c.data), state("XDG_STATE_HOME", c.state),
            home("HOME", c.home);
        EXPECT_EQ(scoresPath(), c.scores);
        EXPECT_EQ(lastGamePath(), c.lastGame);
    }
}

}  // namespace
}  // namespace kestro::records
