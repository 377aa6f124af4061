// The whole game on virtual time: acceleration, the score count, level completion and loss, the
// game messages holding the clock, a stalled clock, pause, Apply and Reset.

#include "game/game.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/game_clock.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "tests/game/game_test_support.h"

namespace kestro {
namespace {

using test::gridDiff;
using test::RecordingDisplay;

class ManualTime final : public TimeSource {
  public:
    Millis now() const override { return t; }
    Millis t = 0;
};

struct LevelEndRecord {
    LevelEnd kind;
    Millis at;
    std::int16_t ended;  // the level the hook names as ended
    std::int16_t level;  // the state's level when the hook runs
    std::int32_t score;
};

// A game with standard sliders, a seeded generator and recording display, built at start-up as
// the window builds it: the first level on an empty grid, paused.
struct Fixture {
    explicit Fixture(std::int32_t level = 1, std::int32_t accel = 5, std::int32_t speed = 300,
                     const TimeSource* time = nullptr)
        : game(sliders.view(), random, display, time) {
        sliders.SLvl.setValue(level);
        sliders.SAccel.setValue(accel);
        sliders.SSpeed.setValue(speed);
        game.onLevelEnd = [this](LevelEnd kind, Millis at, std::int16_t ended) {
            ends.push_back({kind, at, ended, game.state().level, game.state().score});
        };
        game.generateLevel();
    }
    // Takes every goal off the grid but keeps the rest.
    void removeGoals() {
        for (const Cell& g : kGoalCells) {
            game.state().tiles.set(g.x, g.y, tileEmpty);
        }
    }

    StandardSliders sliders;
    SeededRandom random{7};
    RecordingDisplay display;
    Game game;
    std::vector<LevelEndRecord> ends;
};

std::int64_t ticks(const Game& g, TimerId id) {
    return g.ticks()[static_cast<std::size_t>(id)];
}

TEST(GameClock, AccelerationAndScoreFollowTheStartSettings) {
    Fixture f;
    EXPECT_EQ(f.game.state().score, 60);
    EXPECT_EQ(f.game.state().ballInterval, 390);
    f.game.setPaused(false, 0);

    std::vector<std::int32_t> scorePeriods;
    std::int64_t scoreTicks = 0;
    for (Millis t = 1; t <= 7600; ++t) {
        f.game.advanceTo(t);
        if (ticks(f.game, TimerId::Score) != scoreTicks) {
            scoreTicks = ticks(f.game, TimerId::Score);
            scorePeriods.push_back(f.game.timers().period(TimerId::Score));
        }
        if (t == 7400) {
            EXPECT_EQ(f.game.state().ballInterval, 205);  // 37 ticks
        }
    }
    EXPECT_EQ(ticks(f.game, TimerId::accel), 38);
    EXPECT_EQ(f.game.state().ballInterval, 200);
    EXPECT_EQ(f.game.timers().period(TimerId::Ball), 200);
    f.game.advanceTo(20000);
    EXPECT_EQ(f.game.state().ballInterval, 200) << "stops once at or below minInterval 201";

    ASSERT_FALSE(scorePeriods.empty());
    for (const std::int32_t p : scorePeriods) {
        EXPECT_GE(p, 1110);
        EXPECT_LE(p, 1300);
    }
    // The score box shows the count going down one by one from 60.
    ASSERT_GE(f.display.scores.size(), 3u);
    EXPECT_EQ(f.display.scores[0], 59);
    EXPECT_EQ(f.display.scores[1], 58);
    EXPECT_EQ(f.display.scores.back(), f.game.state().score);
}

TEST(GameClock, TheBallMovesFromTheFirstSecondOfALevel) {
    // accel assigns the Ball period every 200 ms; a count that restarted on every assignment
    // would hold the ball still until its period fell to 200.
    Fixture f;
    f.game.setPaused(false, 0);
    f.game.advanceTo(1000);
    EXPECT_GE(ticks(f.game, TimerId::Ball), 2);
    EXPECT_NE(f.game.state().ballX, 35);
}

TEST(GameClock, LossComesWhenTheScoreReachesExactlyZero) {
    // Level 0, top speed 5, nothing banked and no previous acceleration: starting score 1.
    Fixture f(0, 5, 5);
    ASSERT_EQ(f.game.state().score, 1);
    f.game.state().bankedScore = 77;
    f.game.setPaused(false, 0);
    f.game.advanceTo(500);
    EXPECT_EQ(f.display.messages, std::vector<std::string>{kLostMessage});
    ASSERT_EQ(f.ends.size(), 1u);
    EXPECT_EQ(f.ends[0].kind, LevelEnd::Lost);
    EXPECT_EQ(f.ends[0].at, 500);
    EXPECT_EQ(f.ends[0].ended, 0);
    EXPECT_EQ(f.game.state().bankedScore, 0);
    EXPECT_EQ(f.game.state().level, 0);
    // The level is built again from nothing, now with the acceleration of the lost level.
    EXPECT_EQ(f.ends[0].score, (5 + 2 * 5) / 5);
    EXPECT_EQ(f.game.state().tiles.at(35, 27), tileBall);
}

TEST(GameClock, AScoreStartingAtZeroOrBelowIsNeverLost) {
    for (const std::int32_t speed : {0, -1}) {
        Fixture f(0, 5, speed);
        ASSERT_LE(f.game.state().score, 0);
        const std::int32_t start = f.game.state().score;
        f.game.setPaused(false, 0);
        f.game.advanceTo(30000);
        EXPECT_TRUE(f.display.messages.empty());
        EXPECT_TRUE(f.ends.empty());
        EXPECT_EQ(f.game.state().score, start - ticks(f.game, TimerId::Score));
    }
}

TEST(GameClock, CompletingALevelBanksTheScoreAndMovesTheSliderOn) {
    struct Case {
        std::int32_t level;
        std::int16_t nextLevel;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {1, 2, {}},
        {79, 80, {}},
        {80, 0, {kCongratulationsMessage}},
    };
    for (const Case& c : cases) {
        Fixture f(c.level);
        f.removeGoals();
        const std::int32_t score = f.game.state().score;
        f.game.setPaused(false, 0);
        f.game.advanceTo(150);
        EXPECT_EQ(f.display.messages, c.messages) << c.level;
        ASSERT_EQ(f.ends.size(), 1u) << c.level;
        EXPECT_EQ(f.ends[0].kind, LevelEnd::Completed);
        EXPECT_EQ(f.ends[0].ended, c.level) << "the level completed, not the next one";
        EXPECT_EQ(f.ends[0].level, c.nextLevel) << "the next level is built when the hook runs";
        EXPECT_EQ(f.sliders.SLvl.value(), c.nextLevel);
        EXPECT_EQ(f.game.state().level, c.nextLevel);
        EXPECT_EQ(f.game.state().bankedScore, score);
        EXPECT_EQ(f.display.labels[LabelId::Label1], "Level: " + std::to_string(c.nextLevel));
        // The new level's bonus comes on top of the banked score.
        const double n = c.nextLevel;
        EXPECT_EQ(f.game.state().score, std::lround((n * n + 300 + 2 * 5) / 5) + score) << c.level;
    }
}

TEST(GameClock, TheBallStandingOnTheLastGoalCompletesTheLevel) {
    Fixture f;
    GameState& s = f.game.state();
    const Cell last = kGoalCells.back();
    for (const Cell& g : kGoalCells) {
        if (g != last) {
            s.tiles.set(g.x, g.y, tileEmpty);
        }
    }
    f.game.setPaused(false, 0);
    f.game.advanceTo(149);
    EXPECT_TRUE(f.ends.empty()) << "a goal is still there";
    s.tiles.set(last.x, last.y, tileBall);
    f.game.advanceTo(300);
    ASSERT_EQ(f.ends.size(), 1u);
    EXPECT_EQ(f.ends[0].at, 150);
}

TEST(GameClock, AMessageHoldsTheTimersWhileItIsOpen) {
    ManualTime time;
    Fixture f(80, 5, 300, &time);
    f.removeGoals();
    f.game.setPaused(false, 0);
    // While the congratulation is open five seconds pass, and the platform keeps trying to
    // advance the clock; nothing fires, and the open time counts as paused.
    std::int64_t ticksDuringMessage = -1;
    f.display.whileOpen = [&] {
        const auto before = f.game.ticks();
        for (Millis t = 151; t <= 5150; t += 10) {
            time.t = t;
            f.game.advanceTo(t);
        }
        time.t = 5150;
        ticksDuringMessage = 0;
        for (std::size_t i = 0; i < kTimerCount; ++i) {
            ticksDuringMessage += f.game.ticks()[i] - before[i];
        }
        EXPECT_TRUE(f.game.messageOpen());
    };
    time.t = 150;
    f.game.advanceTo(150);
    f.display.whileOpen = nullptr;
    EXPECT_EQ(ticksDuringMessage, 0);
    EXPECT_FALSE(f.game.messageOpen());
    EXPECT_EQ(f.display.messages.size(), 1u);
    EXPECT_EQ(f.ends.size(), 1u);
    EXPECT_EQ(f.sliders.SLvl.value(), 0);
    // Every count moved on by the five seconds: LevelUp was due at 300, now at 5300.
    EXPECT_EQ(f.game.timers().due(TimerId::LevelUp), 5300);
    EXPECT_EQ(f.game.timers().due(TimerId::Ball), 5500);
    f.game.advanceTo(5299);
    EXPECT_EQ(ticks(f.game, TimerId::LevelUp), 1);
}

TEST(GameClock, AStalledClockDoesNotReplayMoreThanOneSecond) {
    // With the stall limit, ten seconds without an advance play like one second.
    Fixture stalled;
    stalled.game.setStallLimit(1000);
    stalled.game.setPaused(false, 0);
    stalled.game.advanceTo(100);
    stalled.game.advanceTo(10100);

    Fixture steady;
    steady.game.setPaused(false, 0);
    steady.game.advanceTo(100);
    steady.game.advanceTo(1100);
    EXPECT_EQ(stalled.game.ticks(), steady.game.ticks());
    EXPECT_EQ(gridDiff(steady.game.state().tiles, stalled.game.state().tiles), "");
    EXPECT_EQ(stalled.game.timers().due(TimerId::Ball).value(),
              steady.game.timers().due(TimerId::Ball).value() + 9000);

    // Gaps up to the limit are made up in full, tick by tick.
    Fixture small;
    small.game.setStallLimit(1000);
    small.game.setPaused(false, 0);
    small.game.advanceTo(100);
    small.game.advanceTo(1100);
    EXPECT_EQ(small.game.ticks(), steady.game.ticks());
}

TEST(GameClock, PauseStopsTheFourTimersAndNothingElse) {
    Fixture f;
    f.game.setPaused(false, 0);
    f.game.advanceTo(1000);
    const auto ticksBefore = f.game.ticks();
    const std::int32_t ballPeriod = f.game.timers().period(TimerId::Ball);
    f.game.setPaused(true, 1000);
    f.game.advanceTo(60000);
    EXPECT_EQ(f.game.ticks(), ticksBefore);
    EXPECT_EQ(f.game.timers().period(TimerId::Ball), ballPeriod);

    // The pointer, Apply and Reset still work while paused.
    f.game.state().tileW = 10.0f;
    f.game.state().tileH = 10.0f;
    f.game.mouseMove(112.0f, 112.0f);
    EXPECT_EQ(f.game.state().tiles.at(10, 10), tileWall);
    f.game.apply();
    EXPECT_EQ(f.game.state().tiles.at(10, 10), tileEmpty);
    EXPECT_TRUE(f.game.paused());

    // Running again starts every count afresh.
    f.game.setPaused(false, 70000);
    EXPECT_EQ(f.game.timers().due(TimerId::accel), 70200);
}

TEST(GameClock, ApplyKeepsTheBankedScoreAndResetDropsIt) {
    for (const bool reset : {false, true}) {
        Fixture f;
        f.game.setPaused(false, 0);
        f.game.advanceTo(3000);
        GameState& s = f.game.state();
        s.bankedScore = 40;
        s.cursorX = 12;
        s.cursorY = 13;
        s.tiles.set(20, 20, tileBlock);
        const auto due = f.game.timers().due(TimerId::Ball);
        f.sliders.SLvl.setValue(0);
        reset ? f.game.reset() : f.game.apply();

        const std::int32_t banked = reset ? 0 : 40;
        EXPECT_EQ(s.bankedScore, banked);
        EXPECT_EQ(s.score, (0 + 300 + 2 * 5) / 5 + banked);
        EXPECT_EQ(s.level, 0);
        EXPECT_EQ(s.tiles.at(20, 20), tileEmpty) << "the grid is cleared first";
        EXPECT_EQ(s.ballX, 35);
        EXPECT_EQ(s.tiles.at(35, 27), tileBall);
        EXPECT_EQ(s.cursorX, 12);
        EXPECT_EQ(s.cursorY, 13);
        EXPECT_EQ(f.game.timers().due(TimerId::Ball), due);
        EXPECT_FALSE(f.game.paused());
        if (reset) {
            // The loop counters end one past the grid; level 0 draws nothing over them.
            EXPECT_EQ(s.randX, 59);
            EXPECT_EQ(s.randY, 47);
        }
    }
}

TEST(GameClock, TheSameEventsAtTheSameTimesGiveTheSameGame) {
    // Advancing millisecond by millisecond or in large jumps gives the same game.
    Fixture fine(20);
    Fixture coarse(20);
    for (Fixture* f : {&fine, &coarse}) {
        f->game.state().tileW = 9.2f;
        f->game.state().tileH = 11.1f;
        f->game.setPaused(false, 0);
    }
    for (Millis t = 1; t <= 120000; ++t) {
        fine.game.advanceTo(t);
        if (t % 997 == 0) {
            fine.game.mouseMove(static_cast<float>(t % 540), static_cast<float>(t % 520));
        }
    }
    for (Millis t = 997; t <= 120000; t += 997) {
        coarse.game.advanceTo(t);
        coarse.game.mouseMove(static_cast<float>(t % 540), static_cast<float>(t % 520));
    }
    coarse.game.advanceTo(120000);
    EXPECT_EQ(fine.game.ticks(), coarse.game.ticks());
    EXPECT_EQ(fine.game.state(), coarse.game.state());
}

TEST(GameClock, PointerMovesGivenWithTheirTimesPlayAsIfTheClockWentTickByTick) {
    // A fast game (the ball's period comes down to 1 ms) advanced once a frame with the pointer
    // moves of each frame given with their times, against the same moves played at their times
    // on a clock advanced every millisecond. Moves fall between ticks, on a tick's millisecond,
    // several in one frame, and a frame period of 20 ms puts up to 20 ball ticks in a frame. A
    // suspension of the machine from 9000 to 10500 ms (no advance at all) counts as paused in
    // both beyond the stall limit.
    struct Move {
        Millis at;
        float x, y;
    };
    std::vector<Move> moves;
    for (Millis t = 3; t <= 14000; t += 7) {
        if (t > 9000 && t < 10500) {
            continue;
        }
        moves.push_back(Move{t, static_cast<float>((t * 13) % 540), static_cast<float>(t % 520)});
        if (t % 5 == 0) {  // a second move in the same millisecond
            moves.push_back(
                Move{t, static_cast<float>(t % 540), static_cast<float>((t * 7) % 520)});
        }
    }
    const auto suspended = [](Millis t) { return t > 9000 && t < 10500; };
    const auto play = [&](Fixture& f) {
        f.game.state().tileW = 9.2f;
        f.game.state().tileH = 11.1f;
        f.game.setStallLimit(1000);
        f.game.setPaused(false, 0);
    };

    Fixture tickByTick(1, 20, 500);
    play(tickByTick);
    std::size_t next = 0;
    for (Millis t = 1; t <= 14000; ++t) {
        if (suspended(t)) {
            continue;
        }
        tickByTick.game.advanceTo(t);
        while (next < moves.size() && moves[next].at == t) {
            tickByTick.game.mouseMove(moves[next].x, moves[next].y);
            ++next;
        }
    }

    Fixture perFrame(1, 20, 500);
    play(perFrame);
    next = 0;
    for (Millis frame = 20; frame <= 14000; frame += 20) {
        if (suspended(frame)) {
            continue;
        }
        while (next < moves.size() && moves[next].at <= frame) {
            perFrame.game.mouseMoveAt(moves[next].at, moves[next].x, moves[next].y);
            ++next;
        }
        perFrame.game.advanceTo(frame);
    }

    // 625 frames were played: most held several ball ticks.
    EXPECT_GT(ticks(tickByTick.game, TimerId::Ball), 4 * 625) << "the ball ran fast";
    EXPECT_EQ(perFrame.game.ticks(), tickByTick.game.ticks());
    EXPECT_EQ(gridDiff(tickByTick.game.state().tiles, perFrame.game.state().tiles), "");
    EXPECT_EQ(perFrame.game.state(), tickByTick.game.state());
    EXPECT_EQ(perFrame.game.timers().due(TimerId::Ball),
              tickByTick.game.timers().due(TimerId::Ball));
}

// A front end that sleeps until nextWakeTime (at most 500 ms at once) and advances at each pointer
// move, given with its time, plays the game a clock advanced every millisecond plays; and nothing
// the player sees changes between two of its wake-ups: the grid, the score and the level at every
// millisecond from one wake-up to the next are those of the first.
TEST(GameClock, SleepingUntilTheNextWakeTimeMissesNothingThePlayerSees) {
    struct Case {
        const char* name;
        std::int32_t level, accel, speed;
        std::function<void(Fixture&)> prepare;
    };
    const Case cases[] = {
        {"level 1", 1, 5, 300, [](Fixture&) {}},
        {"level 30, fast", 30, 10, 450, [](Fixture&) {}},
        {"no goals: a completion at the first check", 5, 5, 300,
         [](Fixture& f) { f.removeGoals(); }},
        {"a score about to run out", 10, 5, 300, [](Fixture& f) { f.game.state().score = 3; }},
        {"a period the Ball timer does not run at yet", 1, 5, 300,
         [](Fixture& f) { f.game.state().ballInterval = 120; }},
    };
    constexpr Millis kEnd = 40000;
    struct Move {
        Millis at;
        float x, y;
    };
    std::vector<Move> moves;
    for (Millis t = 11; t <= kEnd; t += 37) {
        moves.push_back(Move{t, static_cast<float>((t * 13) % 540), static_cast<float>(t % 520)});
    }
    struct Seen {
        Tiles tiles;
        std::int32_t score;
        std::int16_t level;
        bool operator==(const Seen&) const = default;
    };
    const auto seen = [](const Game& g) {
        return Seen{g.state().tiles, g.state().score, g.state().level};
    };
    for (const Case& c : cases) {
        const auto start = [&](Fixture& f) {
            f.game.state().tileW = 9.2f;
            f.game.state().tileH = 11.1f;
            f.game.setStallLimit(1000);
            c.prepare(f);
            f.game.setPaused(false, 0);
        };
        Fixture woken(c.level, c.accel, c.speed);
        start(woken);
        std::map<Millis, Seen> atWake;
        std::size_t next = 0;
        Millis now = 0;
        while (now < kEnd) {
            Millis wake = std::min(*woken.game.nextWakeTime(), now + 500);
            wake = std::max(wake, now);
            if (next < moves.size() && moves[next].at <= wake) {
                wake = moves[next].at;
                woken.game.mouseMoveAt(wake, moves[next].x, moves[next].y);
                ++next;
            }
            wake = std::min(wake, kEnd);
            woken.game.advanceTo(wake);
            now = wake;
            atWake[now] = seen(woken.game);
        }

        Fixture tickByTick(c.level, c.accel, c.speed);
        start(tickByTick);
        next = 0;
        Seen lastWake = seen(tickByTick.game);
        for (Millis t = 1; t <= kEnd; ++t) {
            tickByTick.game.advanceTo(t);
            while (next < moves.size() && moves[next].at == t) {
                tickByTick.game.mouseMove(moves[next].x, moves[next].y);
                ++next;
            }
            if (const auto w = atWake.find(t); w != atWake.end()) {
                ASSERT_TRUE(seen(tickByTick.game) == w->second) << c.name << " at wake " << t;
                lastWake = w->second;
            } else {
                ASSERT_TRUE(seen(tickByTick.game) == lastWake)
                    << c.name << ": something changed at " << t << " with no wake-up";
            }
        }
        EXPECT_EQ(woken.game.ticks(), tickByTick.game.ticks()) << c.name;
        EXPECT_EQ(woken.game.state(), tickByTick.game.state()) << c.name;
        EXPECT_LT(atWake.size(), 40000u / 2) << c.name << ": it slept between ticks";
    }
}

TEST(GameClock, APointerMoveWhilePausedMovesTheWallAtOnce) {
    Fixture queued;
    Fixture direct;
    for (Fixture* f : {&queued, &direct}) {
        f->game.state().tileW = 9.2f;
        f->game.state().tileH = 11.1f;
    }
    queued.game.mouseMoveAt(50, 100.0f, 120.0f);
    direct.game.mouseMove(100.0f, 120.0f);
    EXPECT_EQ(queued.game.state(), direct.game.state());

    // Moves not yet played when the game is paused are played then, before the timers stop.
    queued.game.setPaused(false, 0);
    direct.game.setPaused(false, 0);
    queued.game.mouseMoveAt(5, 200.0f, 220.0f);
    queued.game.setPaused(true, 10);
    direct.game.mouseMove(200.0f, 220.0f);
    direct.game.setPaused(true, 10);
    EXPECT_EQ(queued.game.state(), direct.game.state());
}

}  // namespace
}  // namespace kestro
