// What the rules report as they run: the ball's tick cases, the pointer wall, goals, markers,
// and the level's completion and loss on virtual time; listening changes nothing in the game.

#include "game/events.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/ball.h"
#include "game/game.h"
#include "game/game_clock.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "tests/support/recording_display.h"

namespace kestro {
namespace {

constexpr std::int16_t W = tileWall;
constexpr std::int16_t B = tileBlock;
constexpr std::int16_t G = tileGoal;
constexpr std::int16_t M = tileMarker;

using Ev = GameEvent;

struct Put {
    int x, y;
    std::int16_t code;
};

// The ball at (10, 10) coming from (9, 9): C = (11, 10), R = (10, 11), D = (11, 11).
struct EventCase {
    std::string name;
    std::vector<Put> grid;
    std::vector<GameEvent> events;
    Cell cursor{0, 0};
};

std::vector<GameEvent> tickEvents(const EventCase& c) {
    GameState s;
    for (const Put& p : c.grid) {
        s.tiles.set(p.x, p.y, p.code);
    }
    s.ballX = s.ballY = 10;
    s.lastX = s.lastY = 9;
    s.tiles.set(10, 10, tileBall);
    s.cursorX = static_cast<std::int16_t>(c.cursor.x);
    s.cursorY = static_cast<std::int16_t>(c.cursor.y);
    std::vector<GameEvent> seen;
    Ball_Timer(s, [&](GameEvent e) { seen.push_back(e); });
    return seen;
}

TEST(GameEvents, EachTickCaseReportsWhatTheBallMet) {
    const EventCase cases[] = {
        {"plain move onto an empty cell", {}, {}},
        {"column wall", {{11, 10, W}}, {Ev::WallBounce}},
        {"row wall", {{10, 11, W}}, {Ev::WallBounce}},
        {"wall corner", {{11, 10, W}, {10, 11, W}}, {Ev::WallBounce}},
        {"head-on wall", {{11, 11, W}}, {Ev::WallBounce}},
        {"column block moves", {{11, 10, B}}, {Ev::BlockPushed}},
        {"row block moves", {{10, 11, B}}, {Ev::BlockPushed}},
        {"diagonal block moves", {{11, 11, B}}, {Ev::BlockPushed}},
        {"column block against a wall", {{11, 10, B}, {12, 11, W}}, {Ev::BlockToWall}},
        {"row block against a block", {{10, 11, B}, {11, 12, B}}, {Ev::BlockToWall}},
        {"diagonal block against a wall", {{11, 11, B}, {12, 12, W}}, {Ev::BlockToWall}},
        {"block facing a goal stays and reflects", {{11, 10, B}, {12, 11, G}}, {Ev::WallBounce}},
        {"block facing a marker stays", {{11, 11, B}, {12, 12, M}}, {Ev::WallBounce}},
        {"wedged between two blocks", {{11, 10, B}, {10, 11, B}}, {Ev::BlockJump}},
        {"lands on a goal", {{11, 11, G}}, {Ev::GoalCollected}},
        {"lands on a marker", {{11, 11, M}}, {Ev::MarkerErased}},
        {"reflected onto a goal", {{11, 10, W}, {9, 11, G}}, {Ev::WallBounce, Ev::GoalCollected}},
        {"pushes and lands on a marker",
         {{10, 11, B}, {11, 9, M}},
         {Ev::BlockPushed, Ev::MarkerErased}},
        {"wedged and back onto a goal",
         {{11, 10, B}, {10, 11, B}, {9, 9, G}},
         {Ev::BlockJump, Ev::GoalCollected}},
        // The pointer wall is the cell cursorX/cursorY names.
        {"pointer wall as column", {{11, 10, W}}, {Ev::PointerBounce}, {11, 10}},
        {"pointer wall as row", {{10, 11, W}}, {Ev::PointerBounce}, {10, 11}},
        {"pointer wall in a corner", {{11, 10, W}, {10, 11, W}}, {Ev::PointerBounce}, {10, 11}},
        {"pointer wall head-on", {{11, 11, W}}, {Ev::PointerBounce}, {11, 11}},
        {"pointer elsewhere", {{11, 10, W}, {30, 30, W}}, {Ev::WallBounce}, {30, 30}},
        {"pointer beside, not met", {{10, 11, W}, {11, 10, W}}, {Ev::WallBounce}, {11, 12}},
        {"pointer cell that is not in the way", {{11, 10, W}}, {Ev::WallBounce}, {9, 11}},
    };
    for (const EventCase& c : cases) {
        EXPECT_EQ(tickEvents(c), c.events) << c.name;
    }
}

TEST(GameEvents, EveryEventHasADistinctName) {
    for (std::size_t i = 0; i < kGameEventCount; ++i) {
        for (std::size_t j = i + 1; j < kGameEventCount; ++j) {
            EXPECT_NE(kGameEventNames[i], kGameEventNames[j]);
        }
        EXPECT_FALSE(kGameEventNames[i].empty());
    }
}

struct Heard {
    GameEvent event;
    Millis at;
    std::size_t messagesBefore;  // the messages shown when it was reported
    friend bool operator==(const Heard&, const Heard&) = default;
};

// The game as the window builds it, with a listener that notes each event and what the display
// had shown by then.
struct Listening final : GameEvents {
    explicit Listening(std::int32_t level, std::int32_t speed = 300)
        : game(sliders.view(), random, display) {
        sliders.SLvl.setValue(level);
        sliders.SAccel.setValue(5);
        sliders.SSpeed.setValue(speed);
        game.generateLevel();
        game.setEvents(this);
    }
    void happened(GameEvent e, Millis at) override {
        heard.push_back({e, at, display.messages.size()});
    }
    std::vector<Heard> levelEnds() const {
        std::vector<Heard> out;
        for (const Heard& h : heard) {
            if (h.event == Ev::LevelComplete || h.event == Ev::LevelLost) {
                out.push_back(h);
            }
        }
        return out;
    }

    StandardSliders sliders;
    SeededRandom random{7};
    test::RecordingDisplay display;
    Game game;
    std::vector<Heard> heard;
};

TEST(GameEvents, LevelEndsAreReportedAtTheirTickBeforeTheirMessage) {
    struct Case {
        std::string name;
        std::int32_t level;
        std::int32_t speed;
        bool removeGoals;
        Millis until;
        std::vector<Heard> ends;
    };
    const Case cases[] = {
        {"completion", 1, 300, true, 150, {{Ev::LevelComplete, 150, 0}}},
        {"completing the last level, before the congratulation",
         80,
         300,
         true,
         150,
         {{Ev::LevelComplete, 150, 0}}},
        // Level 0 with a top speed of 5 starts with a score of 1.
        {"loss, before its message", 0, 5, false, 500, {{Ev::LevelLost, 500, 0}}},
        {"nothing ends", 1, 300, false, 149, {}},
    };
    for (const Case& c : cases) {
        Listening l(c.level, c.speed);
        if (c.removeGoals) {
            for (const Cell& g : kGoalCells) {
                l.game.state().tiles.set(g.x, g.y, tileEmpty);
            }
        }
        l.game.setPaused(false, 0);
        l.game.advanceTo(c.until);
        EXPECT_EQ(l.levelEnds(), c.ends) << c.name;
    }
}

TEST(GameEvents, BallEventsCarryTheTimeOfTheirTick) {
    Listening l(1);
    GameState& s = l.game.state();
    // Walls on both sides ahead of the ball's start: its first tick bounces.
    const int aheadX = s.ballX + (s.ballX - s.lastX);
    const int aheadY = s.ballY + (s.ballY - s.lastY);
    s.tiles.set(aheadX, s.ballY, tileWall);
    s.tiles.set(s.ballX, aheadY, tileWall);
    Millis firstBall = -1;
    l.game.onTick = [&](TimerId id) {
        if (id == TimerId::Ball && firstBall < 0) {
            firstBall = l.game.timers().now();
        }
    };
    l.game.setPaused(false, 0);
    l.game.advanceTo(600);
    ASSERT_GT(firstBall, 0);
    ASSERT_FALSE(l.heard.empty());
    EXPECT_EQ(l.heard.front(), (Heard{Ev::WallBounce, firstBall, 0}));
}

TEST(GameEvents, ListeningChangesNothingInTheGame) {
    Listening heard(20);
    Listening deaf(20);
    deaf.game.setEvents(nullptr);
    for (Listening* l : {&heard, &deaf}) {
        l->game.state().tileW = 9.2f;
        l->game.state().tileH = 11.1f;
        l->game.setPaused(false, 0);
        for (Millis t = 997; t <= 240000; t += 997) {
            l->game.advanceTo(t);
            l->game.mouseMove(static_cast<float>(t % 540), static_cast<float>(t % 520));
        }
    }
    EXPECT_FALSE(heard.heard.empty());
    EXPECT_TRUE(deaf.heard.empty());
    EXPECT_EQ(heard.game.ticks(), deaf.game.ticks());
    EXPECT_EQ(heard.game.state(), deaf.game.state());
    EXPECT_EQ(heard.display.messages, deaf.display.messages);
}

}  // namespace
}  // namespace kestro
