// Runs on virtual time: where each begins and ends, the points it keeps, and its mark, with the
// real game driving the tracker as a front end does.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "game/display.h"
#include "game/game.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "records/date.h"
#include "records/run.h"

namespace kestro::records {
namespace {

// The date a completion at virtual time t is recorded with.
std::string dateAt(Millis t) {
    return isoDate(1'700'000'000 + t / 1000);
}

// A game at start-up with a tracker wired to it as the window wires one: each level end goes to
// the tracker, and the entries of the runs that end are kept in order.
class Runs : public ::testing::Test {
  protected:
    Runs() {
        game_.onLevelEnd = [this](LevelEnd end, Millis at, std::int16_t) {
            completions_ += end == LevelEnd::Completed ? 1 : 0;
            if (auto e = tracker_.levelEnded(end, game_.state(), dateAt(at))) {
                ended_.push_back(*e);
            }
        };
        game_.generateLevel();
        tracker_.beginFresh(game_.state());
        game_.setPaused(false, 0);
    }

    GameState& s() { return game_.state(); }
    // The goals taken away: the next LevelUp tick completes the level.
    void clearGoals() {
        for (const Cell& c : kGoalCells) {
            s().tiles.set(c.x, c.y, tileEmpty);
        }
    }
    // Plays on to the next LevelUp tick, at which the level is completed; the banked score.
    std::int32_t complete() {
        clearGoals();
        const int before = completions_;
        game_.advanceTo(nextLevelUp());
        EXPECT_EQ(completions_, before + 1);
        return s().bankedScore;
    }
    // A score of 1 runs out at the next Score tick.
    void lose() {
        s().score = 1;
        game_.advanceTo(*game_.timers().due(TimerId::Score));
    }
    Millis nextLevelUp() const { return *game_.timers().due(TimerId::LevelUp); }
    Millis now() const { return game_.timers().now(); }
    void endIfAny() {
        if (auto e = tracker_.end()) {
            ended_.push_back(*e);
        }
    }

    StandardSliders sliders_;
    SeededRandom random_{17};
    NullDisplay display_;
    Game game_{sliders_.view(), random_, display_};
    RunTracker tracker_;
    std::vector<Entry> ended_;
    int completions_ = 0;
};

TEST_F(Runs, ACompletionGivesTheRunItsPointsWithTheLevelItCompleted) {
    const std::int32_t banked = complete();
    ASSERT_GT(banked, 0);
    ASSERT_EQ(s().level, 2);
    const Millis at = now();
    endIfAny();
    ASSERT_EQ(ended_.size(), 1u);
    EXPECT_EQ(ended_[0], (Entry{"", RunScore{banked, 1, 5, 300, dateAt(at)}, false}));
    EXPECT_FALSE(tracker_.running());
}

// A run that ends before any completion has no points, whatever ends it.
TEST_F(Runs, ARunWithoutACompletionIsNotRecorded) {
    lose();  // a loss
    ASSERT_EQ(s().bankedScore, 0);
    EXPECT_TRUE(tracker_.running());  // the fresh run after it
    game_.advanceTo(now() + 100);
    endIfAny();  // New Game, a load, a close
    EXPECT_TRUE(ended_.empty());
    EXPECT_EQ(tracker_.end(), std::nullopt);  // nothing is running any more
}

// The highest banked score counts, with its own level and date, not the last one.
TEST_F(Runs, ThePointsAreTheHighestBankedScore) {
    const std::int32_t first = complete();
    const Millis firstAt = now();
    const std::int32_t second = complete();
    ASSERT_GT(second, first);
    const Millis secondAt = now();
    s().score = 3;  // the third level is completed with almost nothing left
    const std::int32_t third = complete();
    ASSERT_LT(third, second);
    endIfAny();
    ASSERT_EQ(ended_.size(), 1u);
    EXPECT_EQ(ended_[0].score, (RunScore{second, 2, 5, 300, dateAt(secondAt)}));
    EXPECT_NE(firstAt, secondAt);
}

// The acceleration and top speed are those the completed level was built with: sliders moved
// during a level count from the next level on.
TEST_F(Runs, AccelerationAndTopSpeedAreThoseOfTheLevelsBuild) {
    sliders_.SAccel.setValue(12);
    sliders_.SSpeed.setValue(40);
    const std::int32_t first = complete();  // level 1 built with 5 and 300; level 2 with 12, 40
    s().score = first + 1000;
    const std::int32_t second = complete();
    endIfAny();
    ASSERT_EQ(ended_.size(), 1u);
    EXPECT_EQ(ended_[0].score.points, second);
    EXPECT_EQ(ended_[0].score.level, 2);
    EXPECT_EQ(ended_[0].score.accel, 12);
    EXPECT_EQ(ended_[0].score.speed, 40);
}

// Restart Level keeps the banked score and the run; the level it builds is the one in play.
TEST_F(Runs, RestartLevelGoesOnWithTheRun) {
    const std::int32_t first = complete();
    sliders_.SLvl.setValue(7);
    sliders_.SSpeed.setValue(450);
    game_.apply();
    tracker_.levelRebuilt(s());
    ASSERT_EQ(s().bankedScore, first);
    EXPECT_TRUE(ended_.empty());
    const std::int32_t second = complete();
    ASSERT_GT(second, first);
    endIfAny();
    ASSERT_EQ(ended_.size(), 1u);
    EXPECT_EQ(ended_[0].score.points, second);
    EXPECT_EQ(ended_[0].score.level, 7);
    EXPECT_EQ(ended_[0].score.speed, 450);
}

// A loss ends the run at once, and the run after it starts from nothing.
TEST_F(Runs, ALossEndsTheRunAndBeginsAFreshOne) {
    const std::int32_t banked = complete();
    lose();
    ASSERT_EQ(ended_.size(), 1u);
    EXPECT_EQ(ended_[0].score.points, banked);
    ASSERT_TRUE(tracker_.running());
    EXPECT_EQ(tracker_.record(), (RunRecord{false, std::nullopt}));
    const std::int32_t after = complete();
    endIfAny();
    ASSERT_EQ(ended_.size(), 2u);
    EXPECT_EQ(ended_[1].score.points, after);
}

// New Game ends the run; the run that begins with it counts its own completions only.
TEST_F(Runs, NewGameEndsTheRun) {
    const std::int32_t banked = complete();
    endIfAny();
    game_.reset();
    tracker_.beginFresh(s());
    const std::int32_t built = s().level;
    ASSERT_EQ(ended_.size(), 1u);
    EXPECT_EQ(ended_[0].score.points, banked);
    const std::int32_t again = complete();
    endIfAny();
    ASSERT_EQ(ended_.size(), 2u);
    EXPECT_EQ(ended_[1].score.points, again);
    EXPECT_EQ(ended_[1].score.level, built);
}

// A run begun from a loaded file carries the mark through completions and Restart Level; the
// runs after its loss do not.
TEST_F(Runs, ARunFromALoadedFileIsMarked) {
    complete();
    endIfAny();              // the load ends the run in play
    s().bankedScore = 4000;  // a file can hold anything
    s().score = 5000;
    tracker_.beginLoaded(s());
    const std::int32_t banked = complete();
    game_.apply();
    tracker_.levelRebuilt(s());
    lose();
    const std::int32_t after = complete();
    endIfAny();
    ASSERT_EQ(ended_.size(), 3u);
    EXPECT_FALSE(ended_[0].fromSavedGame);
    EXPECT_TRUE(ended_[1].fromSavedGame);
    EXPECT_EQ(ended_[1].score.points, banked);
    EXPECT_EQ(banked, 5000);
    EXPECT_FALSE(ended_[2].fromSavedGame);
    EXPECT_EQ(ended_[2].score.points, after);
}

// A run saved with its game and resumed goes on: its points so far and its mark come back
// through the record's text, and its later completions count as before.
TEST_F(Runs, AResumedRunGoesOnWithItsPointsAndMark) {
    for (const bool loaded : {false, true}) {
        SCOPED_TRACE(loaded ? "a loaded run" : "a fresh run");
        ended_.clear();
        tracker_.end();
        sliders_.SLvl.setValue(1);
        game_.reset();
        loaded ? tracker_.beginLoaded(s()) : tracker_.beginFresh(s());
        const std::int32_t before = complete();
        const Millis beforeAt = now();
        ASSERT_TRUE(tracker_.record());
        const std::string saved = formatRunRecord(*tracker_.record());
        EXPECT_TRUE(tracker_.end());  // the game closes
        ended_.clear();

        const auto record = parseRunRecord(saved);
        ASSERT_TRUE(record.ok()) << record.error();
        tracker_.resume(record.value(), s());
        s().score = 2;  // the next completion banks less than before
        complete();
        endIfAny();
        ASSERT_EQ(ended_.size(), 1u);
        EXPECT_EQ(ended_[0], (Entry{"", RunScore{before, 1, 5, 300, dateAt(beforeAt)}, loaded}));
    }
}

TEST(RunRecordText, RoundTripsAndRefusesWhatIsNotOne) {
    const RunRecord records[] = {
        {false, std::nullopt},
        {true, std::nullopt},
        {true, RunScore{-3, 80, 20, -1, "2024-02-29T23:59:59Z"}},
        {false, RunScore{2147483647, 0, 1, 500, "0001-01-01T00:00:00Z"}},
    };
    for (const RunRecord& r : records) {
        const std::string text = formatRunRecord(r);
        const auto back = parseRunRecord(text);
        ASSERT_TRUE(back.ok()) << text << back.error();
        EXPECT_EQ(back.value(), r);
    }
    EXPECT_EQ(formatRunRecord(records[2]),
              "kestro-run 1\norigin saved\nbest -3 80 20 -1 2024-02-29T23:59:59Z\n");
    const char* const bad[] = {
        "",
        "kestro-run 2\norigin fresh\n",
        "kestro-run 1\n",
        "kestro-run 1\norigin fresh",
        "kestro-run 1\norigin maybe\n",
        "kestro-run 1\norigin fresh\nbest 1 2 3 4\n",
        "kestro-run 1\norigin fresh\nbest 1 2 3 4 2024-01-01\n",
        "kestro-run 1\norigin fresh\nbest 01 2 3 4 2024-01-01T00:00:00Z\n",
        "kestro-run 1\norigin fresh\nbest 1 2 3 4 2024-01-01T00:00:00Z x\n",
        "kestro-run 1\norigin fresh\nbest 1 2 3 4 2024-01-01T00:00:00Z\nbest 1 2 3 4 "
        "2024-01-01T00:00:00Z\n",
        "kestro-run 1\norigin fresh\nworst 1 2 3 4 2024-01-01T00:00:00Z\n",
    };
    for (const char* text : bad) {
        EXPECT_FALSE(parseRunRecord(text).ok()) << text;
    }
}

}  // namespace
}  // namespace kestro::records
