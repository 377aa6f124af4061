// kestro-sim scores and play --scores, run as the separate program: the runs of a play go into
// the table as the window records them, and the table prints one entry a line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/quoted.h"
#include "game/level.h"
#include "records/table.h"
#include "savegame/codec.h"
#include "savegame/game_file.h"
#include "tests/support/files.h"
#include "tests/support/scoped_env.h"
#include "tests/tools/run_sim.h"

namespace kestro::sim {
namespace {

namespace sg = kestro::savegame;
using test::RunResult;

// The ms of each "<ms> complete ..." line of a play's output.
std::vector<std::string> completionTimes(const std::string& out) {
    std::vector<std::string> times;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (const auto at = line.find(" complete level="); at != std::string::npos) {
            times.push_back(line.substr(0, at));
        }
    }
    return times;
}

// The number after "banked=" in the end line.
std::int32_t bankedOf(const std::string& out) {
    return std::stoi(out.substr(out.rfind("banked=") + 7));
}

class ToolsScores : public test::SimFolder {
  protected:
    ToolsScores() : SimFolder("kestro-tools-scores") {}

    // A level L saved with its goals taken away, so that the play completes it at once.
    void levelWithoutGoals(const std::string& name, const std::string& level) {
        ok({"new", path("made.egf"), "--level", level, "--seed", "8", "--key", "1"});
        auto loaded = sg::loadSavedGame(dir_ / "made.egf");
        ASSERT_TRUE(loaded.ok());
        sg::DecodedGame g = loaded.value().game;
        for (const Cell& c : kGoalCells) {
            g.tiles.set(c.x, c.y, tileEmpty);
        }
        const sg::SaveBytes bytes = sg::encode(g);
        kestro::test::writeFile(dir_ / name, std::string(bytes.begin(), bytes.end()));
    }
    // The banked score at the end of the same play cut at ms.
    std::int32_t bankedAt(const std::vector<std::string>& play, const std::string& ms) {
        std::vector<std::string> cut = play;
        cut.insert(cut.end(), {"--ms", ms});
        const RunResult r = sim(cut);
        EXPECT_EQ(r.status, 0) << r.err;
        return bankedOf(r.out);
    }
};

// The run recorded has the highest banked score the completions of the play show, with the
// mark of a run from a loaded file; the play's other output is as without --scores.
TEST_F(ToolsScores, APlayRecordsItsRunWithTheHighestBankedScore) {
    levelWithoutGoals("start.egf", "3");
    const std::vector<std::string> play{"play", path("start.egf"), "--seed", "9"};
    std::vector<std::string> recorded = play;
    recorded.insert(recorded.end(),
                    {"--ms", "5000", "--scores", path("scores"), "--name", "Ann Smith"});
    const RunResult r = sim(recorded);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> plain = play;
    plain.insert(plain.end(), {"--ms", "5000"});
    EXPECT_EQ(r.out, sim(plain).out);

    const auto times = completionTimes(r.out);
    ASSERT_FALSE(times.empty()) << r.out;
    std::int32_t highest = 0;
    for (const std::string& ms : times) {
        highest = std::max(highest, bankedAt(play, ms));
    }
    const auto table = records::parseTable(bytesOf("scores"));
    ASSERT_TRUE(table.ok()) << table.error();
    ASSERT_EQ(table.value().size(), 1u);
    const records::Entry& e = table.value()[0];
    EXPECT_EQ(e.score.points, highest);
    EXPECT_EQ(e.score.level, 3);
    EXPECT_EQ(e.score.accel, 5);
    EXPECT_EQ(e.score.speed, 300);
    EXPECT_TRUE(e.fromSavedGame);
    EXPECT_EQ(e.name, "Ann Smith");

    const RunResult shown = sim({"scores", path("scores")});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "1 points=" + std::to_string(highest) +
                             " level=3 accel=5 speed=300 date=" + e.score.date +
                             " mark=saved name=Ann Smith\n");
}

// The computer's runs stay out of the table: with --autopilot, --scores records nothing, and
// the play prints what it prints without --scores.
TEST_F(ToolsScores, TheAutopilotsRunsAreNotRecorded) {
    levelWithoutGoals("start.egf", "3");
    const std::vector<std::string> play{"play", path("start.egf"), "--seed", "9", "--ms",
                                        "5000", "--autopilot"};
    std::vector<std::string> recorded = play;
    recorded.insert(recorded.end(), {"--scores", path("scores"), "--name", "Ann Smith"});
    const RunResult r = sim(recorded);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_FALSE(completionTimes(r.out).empty()) << r.out;
    EXPECT_EQ(r.out, sim(play).out);
    EXPECT_FALSE(std::filesystem::exists(path("scores")));
}

// A play without a completion records nothing; plays into the same table rank by points.
TEST_F(ToolsScores, PlaysAddUpInOneTable) {
    ok({"new", path("plain.egf"), "--level", "1", "--seed", "3", "--key", "1"});
    ok({"play", path("plain.egf"), "--ms", "1000", "--scores", path("scores"), "--name", "x"});
    EXPECT_FALSE(std::filesystem::exists(dir_ / "scores"));

    levelWithoutGoals("low.egf", "1");
    levelWithoutGoals("high.egf", "20");
    ok({"play", path("low.egf"), "--ms", "1000", "--scores", path("scores"), "--name", "low"});
    ok({"play", path("high.egf"), "--ms", "1000", "--scores", path("scores"), "--name", "high"});
    const RunResult shown = sim({"scores", path("scores")});
    ASSERT_EQ(shown.status, 0) << shown.err;
    std::istringstream lines(shown.out);
    std::string first, second, more;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_TRUE(first.starts_with("1 points=") && first.ends_with(" name=high")) << shown.out;
    EXPECT_TRUE(second.starts_with("2 points=") && second.ends_with(" name=low")) << shown.out;
    EXPECT_FALSE(std::getline(lines, more));
}

TEST_F(ToolsScores, ScoresPrintsTheUsersTableAndOneLineForABadOne) {
    const kestro::test::ScopedEnv data("XDG_DATA_HOME", path("data"));
    // No table yet: nothing to print.
    const RunResult none = sim({"scores"});
    EXPECT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(none.out, "");

    levelWithoutGoals("start.egf", "1");
    ok({"play", path("start.egf"), "--ms", "1000", "--scores", path("data/kestro/scores"), "--name",
        "me"});
    const RunResult mine = sim({"scores"});
    EXPECT_EQ(mine.status, 0) << mine.err;
    EXPECT_TRUE(mine.out.starts_with("1 points=")) << mine.out;
    EXPECT_EQ(mine.out, sim({"scores", path("data/kestro/scores")}).out);

    kestro::test::writeFile(dir_ / "bad", "kestro-scores 1\nnot an entry\n");
    const RunResult bad = sim({"scores", path("bad")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "kestro-sim: scores: '" + path("bad") +
                           "' is not a high-score table: line 2: fewer than 7 fields\n");
    const RunResult fifo = sim({"scores", "/dev/null"});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(fifo.err, "kestro-sim: scores: '/dev/null' is not a regular file\n");
    EXPECT_EQ(sim({"scores", "a", "b"}).status, 1);
    EXPECT_EQ(sim({"play", path("start.egf"), "--name", "x"}).err,
              "kestro-sim: play: --name needs --scores\n");
}

// A table that cannot be written: the play's output is given, then one error line and status 1.
TEST_F(ToolsScores, ARunThatCannotBeKeptIsAnError) {
    levelWithoutGoals("start.egf", "1");
    kestro::test::writeFile(dir_ / "plain", "a file");
    const RunResult r =
        sim({"play", path("start.egf"), "--ms", "1000", "--scores", path("plain/scores")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("complete level=2"), std::string::npos);
    EXPECT_EQ(r.err, "kestro-sim: play: " + kestro::quoted(dir_ / "plain") + " is not a folder\n");
}

}  // namespace
}  // namespace kestro::sim
