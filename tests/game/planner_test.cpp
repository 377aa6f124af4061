// The planner: the same state gives the same choice whatever it saw before; every position it
// gives is one a player's pointer could take and does what the choice says; and small positions
// where the right play is plain to see.

#include "game/planner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "game/ball.h"
#include "game/game.h"
#include "game/level.h"
#include "game/playfield.h"
#include "game/pointer.h"
#include "game/random.h"
#include "game/slider.h"
#include "tests/support/grids.h"

namespace kestro {
namespace {

constexpr float kTileW = static_cast<float>(kDesignFieldWidth) / kCols;
constexpr float kTileH = static_cast<float>(kDesignFieldHeight) / kRows;

// A game at a level of the default sliders, its timers running on virtual time.
struct PlayedGame {
    StandardSliders sliders;
    SeededRandom random;
    NullDisplay display;
    Game game;
    PlayedGame(std::int32_t level, std::uint64_t seed, float tileW, float tileH)
        : random(seed), game(sliders.view(), random, display) {
        sliders.SLvl.setValue(level);
        game.generateLevel();
        game.state().tileW = tileW;
        game.state().tileH = tileH;
        game.setPaused(false, 0);
    }
    // Runs the game up to the millisecond before its next ball tick and calls look with the
    // state there, then moves the pointer as the planner says and lets the tick come.
    template <class Look>
    void playTicks(Planner& planner, int ticks, Look look) {
        for (int i = 0; i < ticks; ++i) {
            const Millis due = *game.timers().due(TimerId::Ball);
            game.advanceTo(due - 1);
            look(game.state());
            if (const auto p = planner.pointerFor(game.state())) {
                game.mouseMove(p->x, p->y);
            }
            game.advanceTo(due);
        }
    }
};

TEST(Planner, TheSameStateGivesTheSameChoiceWhateverThePlannerSawBefore) {
    for (const std::int32_t level : {1, 40, 80}) {
        PlayedGame played(level, 7, kTileW, kTileH);
        Planner along;  // plays the whole game, keeping what it worked out
        int tick = 0;
        played.playTicks(along, 400, [&](const GameState& s) {
            Planner fresh;
            const PlannerChoice first = fresh.choose(s);
            EXPECT_EQ(fresh.choose(s), first) << "level " << level << " tick " << tick;
            EXPECT_EQ(Planner{along}.choose(s), first) << "level " << level << " tick " << tick;
            ++tick;
        });
    }
}

// Each position lies on the playfield, and moving there does what the choice says: a wall goes
// onto the chosen cell, which was empty and decides the coming tick; a lift leaves no wall.
TEST(Planner, MovesOnlyWhereAPlayersPointerCould) {
    const struct {
        std::int32_t level;
        float tileW, tileH;
    } cases[] = {{1, kTileW, kTileH}, {40, kTileW, kTileH}, {80, kTileW, kTileH},
                 {40, 7.3f, 11.1f},   {60, 3.0f, 3.0f},     {20, 25.5f, 4.25f}};
    for (const auto& c : cases) {
        const std::string where = "level " + std::to_string(c.level) + " tile " +
                                  std::to_string(c.tileW) + "x" + std::to_string(c.tileH);
        PlayedGame played(c.level, 3, c.tileW, c.tileH);
        Planner planner;
        int walls = 0;
        played.playTicks(planner, 600, [&](const GameState& s) {
            const PlannerChoice choice = Planner{planner}.choose(s);
            const auto p = positionFor(s, choice);
            if (choice.kind == PlannerChoice::Kind::Stay) {
                EXPECT_FALSE(p) << where;
                return;
            }
            ASSERT_TRUE(p) << where;
            EXPECT_GE(p->x, 0.0f) << where;
            EXPECT_LT(p->x, static_cast<float>(kCols) * s.tileW) << where;
            EXPECT_GE(p->y, 0.0f) << where;
            EXPECT_LT(p->y, static_cast<float>(kRows) * s.tileH) << where;
            GameState after = s;
            Kestro_MouseMove(after, p->x, p->y);
            if (choice.kind == PlannerChoice::Kind::Lift) {
                EXPECT_NE(s.tiles.at(choice.cell.x, choice.cell.y), tileEmpty) << where;
                EXPECT_NE(after.tiles.at(s.cursorX, s.cursorY), tileWall) << where;
                return;
            }
            ++walls;
            EXPECT_EQ(s.tiles.at(choice.cell.x, choice.cell.y), tileEmpty) << where;
            EXPECT_EQ(after.tiles.at(choice.cell.x, choice.cell.y), tileWall) << where;
            EXPECT_EQ((Cell{after.cursorX, after.cursorY}), choice.cell) << where;
            const int sx = s.ballX - s.lastX;
            const int sy = s.ballY - s.lastY;
            const Cell c1{s.ballX + sx, s.ballY}, c2{s.ballX, s.ballY + sy},
                c3{s.ballX + sx, s.ballY + sy};
            EXPECT_TRUE(choice.cell == c1 || choice.cell == c2 || choice.cell == c3) << where;
        });
        EXPECT_GT(walls, 0) << where << ": the planner never walled a cell";
    }
}

TEST(Planner, WithoutACellSizeThePointerStays) {
    PlayedGame played(1, 1, 0.0f, 0.0f);
    Planner planner;
    played.playTicks(planner, 50,
                     [&](const GameState& s) { EXPECT_FALSE(Planner{planner}.pointerFor(s)); });
}

// A small position on an empty framed grid: the ball, where it came from, and the cells that
// stand around it; the goal at (2, 2) is the only one left.
struct Position {
    const char* name;
    Cell ball, last;
    std::vector<std::pair<Cell, std::int16_t>> cells;
    PlannerChoice expected;  // the first choice
    int ticks;               // the goal is taken after this many ticks of the planner's play
};

GameState positionState(const Position& p) {
    GameState s;
    s.tiles = test::borderWalls();
    s.tiles.set(2, 2, tileGoal);
    for (const auto& [cell, code] : p.cells) {
        s.tiles.set(cell.x, cell.y, code);
    }
    s.ballX = static_cast<std::int16_t>(p.ball.x);
    s.ballY = static_cast<std::int16_t>(p.ball.y);
    s.lastX = static_cast<std::int16_t>(p.last.x);
    s.lastY = static_cast<std::int16_t>(p.last.y);
    s.tiles.set(p.ball.x, p.ball.y, tileBall);
    s.tileW = kTileW;
    s.tileH = kTileH;
    return s;
}

TEST(Planner, TakesThePlainWayToAGoal) {
    using K = PlannerChoice::Kind;
    const Position cases[] = {
        {"the goal straight ahead: nothing to do", {3, 3}, {4, 4}, {}, {K::Stay, {}}, 1},
        {"the goal behind the column: wall the column to turn",
         {3, 3},
         {2, 4},
         {},
         {K::Wall, {4, 3}},
         1},
        {"the goal behind the row: wall the row to turn", {3, 3}, {4, 2}, {}, {K::Wall, {3, 4}}, 1},
        {"into the corner: the border turns the ball onto the goal",
         {2, 4},
         {3, 5},
         {},
         {K::Stay, {}},
         2},
        {"a block in the column turns the ball as a wall would",
         {3, 3},
         {2, 4},
         {{{4, 3}, tileBlock}},
         {K::Stay, {}},
         1},
        // Both ways round take five ticks; on a tie the column comes before the row.
        {"blocks on the diagonal to the goal: the shortest way round",
         {5, 5},
         {6, 6},
         {{{3, 3}, tileBlock}, {{4, 4}, tileBlock}},
         {K::Wall, {4, 5}},
         5},
    };
    for (const Position& p : cases) {
        GameState s = positionState(p);
        Planner planner;
        EXPECT_EQ(planner.choose(s), p.expected) << p.name;
        int taken = 0;
        for (int tick = 1; tick <= 10 && taken == 0; ++tick) {
            if (const auto at = planner.pointerFor(s)) {
                Kestro_MouseMove(s, at->x, at->y);
            }
            Ball_Timer(s);
            if (s.tiles.at(2, 2) != tileGoal) {
                taken = tick;
            }
        }
        EXPECT_EQ(taken, p.ticks) << p.name;
    }
}

// The pointer's wall standing in the ball's way is taken away rather than walked round.
TEST(Planner, LiftsItsOwnWallOffTheWay) {
    GameState s = positionState({"", {4, 4}, {5, 5}, {}, {}, 0});
    Kestro_MouseMove(s, 4.0f * kTileW, 4.0f * kTileH);  // a wall on (3, 3), ahead of the ball
    ASSERT_EQ(s.tiles.at(3, 3), tileWall);
    Planner planner;
    const PlannerChoice c = planner.choose(s);
    EXPECT_EQ(c.kind, PlannerChoice::Kind::Lift);
    int taken = 0;
    for (int tick = 1; tick <= 10 && taken == 0; ++tick) {
        if (const auto at = planner.pointerFor(s)) {
            Kestro_MouseMove(s, at->x, at->y);
        }
        Ball_Timer(s);
        if (s.tiles.at(2, 2) != tileGoal) {
            taken = tick;
        }
    }
    EXPECT_EQ(taken, 2);
}

}  // namespace
}  // namespace kestro
