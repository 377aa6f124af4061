#include "game/ball.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/runtime_error.h"
#include "tests/game/game_test_support.h"
#include "tests/support/grids.h"

namespace kestro {
namespace {

using test::borderWalls;
using test::gridDiff;

constexpr std::int16_t E = tileEmpty;
constexpr std::int16_t W = tileWall;
constexpr std::int16_t B = tileBlock;
constexpr std::int16_t G = tileGoal;
constexpr std::int16_t M = tileMarker;

struct Put {
    int x, y;
    std::int16_t code;
};
struct Pos {
    int x, y;
};

// One tick from a prepared grid. `before` is laid on an empty grid (or on the border walls);
// `after` lists every cell the tick changes apart from the ball's old and new cells.
struct TickCase {
    std::string name;
    std::vector<Put> before;
    std::vector<Put> after;
    Pos to;
    Pos ball{10, 10};
    Pos from{9, 9};
    bool border = false;
};

void runCase(const TickCase& c) {
    SCOPED_TRACE(c.name);
    GameState s;
    if (c.border) {
        s.tiles = borderWalls();
    }
    for (const Put& p : c.before) {
        s.tiles.set(p.x, p.y, p.code);
    }
    s.tiles.set(c.ball.x, c.ball.y, tileBall);
    s.ballX = static_cast<std::int16_t>(c.ball.x);
    s.ballY = static_cast<std::int16_t>(c.ball.y);
    s.lastX = static_cast<std::int16_t>(c.from.x);
    s.lastY = static_cast<std::int16_t>(c.from.y);

    Tiles expected = s.tiles;
    expected.set(c.ball.x, c.ball.y, E);
    for (const Put& p : c.after) {
        expected.set(p.x, p.y, p.code);
    }
    expected.set(c.to.x, c.to.y, tileBall);

    Ball_Timer(s);

    EXPECT_EQ(s.ballX, c.to.x);
    EXPECT_EQ(s.ballY, c.to.y);
    EXPECT_EQ(s.nextX, c.to.x);
    EXPECT_EQ(s.nextY, c.to.y);
    EXPECT_EQ(s.lastX, c.ball.x);
    EXPECT_EQ(s.lastY, c.ball.y);
    EXPECT_EQ(s.stepX, c.ball.x - c.from.x);
    EXPECT_EQ(s.stepY, c.ball.y - c.from.y);
    EXPECT_EQ(s.tiles, expected) << gridDiff(expected, s.tiles);
}

// Ball at (10, 10) from (9, 9): column neighbour C (11, 10), row neighbour R (10, 11), diagonal
// D (11, 11); the cells beyond them are (12, 11), (11, 12) and (12, 12).
TEST(GameBall, WorkedExamples) {
    const TickCase cases[] = {
        {"C wall: column step reversed", {{11, 10, W}}, {}, {9, 11}},
        {"R and C walls: straight back", {{11, 10, W}, {10, 11, W}}, {}, {9, 9}},
        {"C block before an empty cell moves", {{11, 10, B}}, {{11, 10, E}, {12, 11, B}}, {9, 11}},
        {"C block before a wall solidifies", {{11, 10, B}, {12, 11, W}}, {{11, 10, W}}, {9, 11}},
        {"D block moves and the ball follows it", {{11, 11, B}}, {{12, 12, B}}, {11, 11}},
        {"D wall: escape to the last empty neighbour", {{11, 11, W}}, {}, {11, 9}},
        {"D goal is collected", {{11, 11, G}}, {}, {11, 11}},
    };
    for (const TickCase& c : cases) {
        runCase(c);
    }
}

TEST(GameBall, EscapeSearchUsesFixedOrderNotDirection) {
    const TickCase cases[] = {
        {"step (-1,-1) into a wall", {{9, 9, W}}, {}, {11, 11}, {10, 10}, {11, 11}},
        {"step (+1,+1) into a wall", {{11, 11, W}}, {}, {11, 9}, {10, 10}, {9, 9}},
        {"step (+1,-1) into a wall", {{11, 9, W}}, {}, {11, 11}, {10, 10}, {9, 11}},
        {"step (-1,+1) into a wall", {{9, 11, W}}, {}, {11, 11}, {10, 10}, {11, 9}},
        {"only (9,11) empty", {{11, 11, W}, {11, 9, W}, {9, 9, B}}, {}, {9, 11}},
        {"no empty neighbour: the ball lands on the wall",
         {{11, 11, W}, {9, 9, G}, {9, 11, M}, {11, 9, B}},
         {},
         {11, 11}},
        {"stuck D block becomes wall, ball escapes",
         {{11, 11, B}, {12, 12, B}},
         {{11, 11, W}},
         {11, 9}},
        {"stuck D block, no way out: the ball lands on the new wall",
         {{11, 11, B}, {12, 12, W}, {9, 9, M}, {9, 11, M}, {11, 9, M}},
         {},
         {11, 11}},
        {"markers beside do not reflect; D wall escapes",
         {{11, 10, M}, {10, 11, M}, {11, 11, W}},
         {},
         {11, 9}},
    };
    for (const TickCase& c : cases) {
        runCase(c);
    }
}

TEST(GameBall, PushRuleForEachNeighbour) {
    // C goes back along the column to (9, 11), R back along the row to (11, 9); after a push of
    // D the escape search ends on (11, 11) if D was emptied, otherwise on (11, 9).
    const TickCase cases[] = {
        {"C, beyond wall", {{11, 10, B}, {12, 11, W}}, {{11, 10, W}}, {9, 11}},
        {"C, beyond block", {{11, 10, B}, {12, 11, B}}, {{11, 10, W}}, {9, 11}},
        {"C, beyond empty", {{11, 10, B}}, {{11, 10, E}, {12, 11, B}}, {9, 11}},
        {"C, beyond goal", {{11, 10, B}, {12, 11, G}}, {}, {9, 11}},
        {"C, beyond marker", {{11, 10, B}, {12, 11, M}}, {}, {9, 11}},
        {"C, beyond unknown code", {{11, 10, B}, {12, 11, 99}}, {}, {9, 11}},
        {"R, beyond wall", {{10, 11, B}, {11, 12, W}}, {{10, 11, W}}, {11, 9}},
        {"R, beyond block", {{10, 11, B}, {11, 12, B}}, {{10, 11, W}}, {11, 9}},
        {"R, beyond empty", {{10, 11, B}}, {{10, 11, E}, {11, 12, B}}, {11, 9}},
        {"R, beyond goal", {{10, 11, B}, {11, 12, G}}, {}, {11, 9}},
        {"R, beyond marker", {{10, 11, B}, {11, 12, M}}, {}, {11, 9}},
        {"D, beyond wall", {{11, 11, B}, {12, 12, W}}, {{11, 11, W}}, {11, 9}},
        {"D, beyond block", {{11, 11, B}, {12, 12, B}}, {{11, 11, W}}, {11, 9}},
        {"D, beyond empty", {{11, 11, B}}, {{12, 12, B}}, {11, 11}},
        {"D, beyond goal", {{11, 11, B}, {12, 12, G}}, {}, {11, 9}},
        {"D, beyond marker", {{11, 11, B}, {12, 12, M}}, {}, {11, 9}},
    };
    for (const TickCase& c : cases) {
        runCase(c);
    }
}

TEST(GameBall, CasePrecedence) {
    const TickCase cases[] = {
        {"R wall outranks C block", {{10, 11, W}, {11, 10, B}}, {}, {11, 9}},
        {"C wall outranks R block", {{11, 10, W}, {10, 11, B}}, {}, {9, 11}},
        {"C and R blocks together", {{11, 10, B}, {10, 11, B}}, {{12, 12, B}}, {9, 9}},
        {"C block outranks D block",
         {{11, 10, B}, {11, 11, B}},
         {{11, 10, E}, {12, 11, B}},
         {9, 11}},
        {"R block outranks D wall",
         {{10, 11, B}, {11, 11, W}},
         {{10, 11, E}, {11, 12, B}},
         {11, 9}},
        {"sliding along a wall keeps the column step",
         {{8, 11, W}, {9, 11, W}, {10, 11, W}, {11, 11, W}, {12, 11, W}},
         {},
         {11, 9}},
        {"goals beside the path stay", {{11, 10, G}, {10, 11, G}}, {}, {11, 11}},
        {"marker ahead is erased", {{11, 11, M}}, {}, {11, 11}},
        {"unknown code ahead is run over", {{11, 11, 99}}, {}, {11, 11}},
        {"destination of a reflection is not examined", {{11, 10, W}, {9, 11, W}}, {}, {9, 11}},
    };
    for (const TickCase& c : cases) {
        runCase(c);
    }
}

TEST(GameBall, TwoBlocksClearTheDiagonalAndDropABlockBeyondIt) {
    const TickCase cases[] = {
        {"D empty, beyond empty", {{11, 10, B}, {10, 11, B}}, {{12, 12, B}}, {9, 9}},
        {"D wall, beyond goal",
         {{11, 10, B}, {10, 11, B}, {11, 11, W}, {12, 12, G}},
         {{11, 11, E}, {12, 12, B}},
         {9, 9}},
        {"D goal, beyond wall",
         {{11, 10, B}, {10, 11, B}, {11, 11, G}, {12, 12, W}},
         {{11, 11, E}, {12, 12, B}},
         {9, 9}},
        {"D marker, beyond marker",
         {{11, 10, B}, {10, 11, B}, {11, 11, M}, {12, 12, M}},
         {{11, 11, E}, {12, 12, B}},
         {9, 9}},
        {"block lands on the border corner",
         {{57, 44, B}, {56, 45, B}},
         {{58, 46, B}},
         {55, 43},
         {56, 44},
         {55, 43},
         true},
        {"block beyond the grid is dropped",
         {{58, 45, B}, {57, 46, B}},
         {{58, 46, E}},
         {56, 44},
         {57, 45},
         {56, 44},
         true},
    };
    for (const TickCase& c : cases) {
        runCase(c);
    }
}

TEST(GameBall, BorderStopsPushesAndOutsideActsAsWall) {
    const TickCase cases[] = {
        {"block pushed onto column 57",
         {{56, 20, B}},
         {{56, 20, E}, {57, 21, B}},
         {54, 21},
         {55, 20},
         {54, 19},
         true},
        {"block on column 57 solidifies against the border",
         {{57, 20, B}},
         {{57, 20, W}},
         {55, 21},
         {56, 20},
         {55, 19},
         true},
        {"block pushed onto row 45",
         {{20, 44, B}},
         {{20, 44, E}, {21, 45, B}},
         {21, 42},
         {20, 43},
         {19, 42},
         true},
        {"block on row 45 solidifies against the border",
         {{20, 45, B}},
         {{20, 45, W}},
         {21, 43},
         {20, 44},
         {19, 43},
         true},
        {"block pushed onto column 1 and row 1",
         {{2, 2, B}},
         {{2, 2, E}, {1, 1, B}},
         {4, 1},
         {3, 2},
         {4, 3},
         true},
        // Damaged border: the ball stands on a border cell and looks outside the grid.
        {"left edge: outside column reflects",
         {{0, 9, E}, {0, 11, E}},
         {},
         {1, 9},
         {0, 10},
         {1, 11},
         true},
        {"corner: outside on both sides sends it back", {}, {}, {1, 1}, {0, 0}, {1, 1}, true},
        {"right edge", {{58, 19, E}, {58, 21, E}}, {}, {57, 21}, {58, 20}, {57, 19}, true},
        {"bottom edge", {{29, 46, E}, {31, 46, E}}, {}, {31, 45}, {30, 46}, {29, 45}, true},
        {"border block pushed outward solidifies",
         {{58, 20, B}},
         {{58, 20, W}},
         {56, 21},
         {57, 20},
         {56, 19},
         true},
        {"corner block pushed outward solidifies, ball escapes",
         {{58, 45, E}, {57, 46, E}, {58, 46, B}},
         {{58, 46, W}},
         {56, 44},
         {57, 45},
         {56, 44},
         true},
    };
    for (const TickCase& c : cases) {
        runCase(c);
    }
}

TEST(GameBall, OddLastCellFromASavedGame) {
    const TickCase cases[] = {
        {"no step: the ball stays", {}, {}, {10, 10}, {10, 10}, {10, 10}},
        {"far step out of the grid reflects back", {}, {}, {0, 0}, {58, 46}, {0, 0}, true},
        {"long column step, plain move", {}, {}, {13, 11}, {10, 10}, {7, 9}},
        {"long column step off the grid reflects the column",
         {},
         {},
         {1, 20},
         {40, 10},
         {1, 0},
         true},
    };
    for (const TickCase& c : cases) {
        runCase(c);
    }
}

TEST(GameBall, OverflowingStepIsReportedBeforeAnythingChanges) {
    struct Case {
        std::int16_t ballX, lastX;
    };
    const Case cases[] = {{0, -32768}, {32767, 0}, {-32768, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ballX);
        GameState s;
        s.tiles.set(5, 5, tileBall);
        s.ballX = c.ballX;
        s.lastX = c.lastX;
        s.ballY = 5;
        s.lastY = 4;
        const GameState before = s;
        try {
            Ball_Timer(s);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), errnum::kOverflow);
        }
        EXPECT_TRUE(s == before);
    }
}

// Any ball and last cell inside the grid, on any grid contents, give a destination inside the
// grid, never an arithmetic fault, and exactly one ball cell.
TEST(GameBall, AnyInGridBallAndLastStayInGrid) {
    std::mt19937 rng(20240601);
    const std::int16_t codes[] = {E, E, E, E, W, W, B, B, G, M};
    auto randomCode = [&] { return codes[rng() % std::size(codes)]; };
    GameState s;
    for (auto& cell : s.tiles.cells()) {
        cell = randomCode();
    }
    s.ballX = 10;
    s.ballY = 10;
    s.tiles.set(10, 10, tileBall);
    for (int i = 0; i < 200000; ++i) {
        // Replace the ball by a random tile and start again from a random ball and last cell.
        s.tiles.set(s.ballX, s.ballY, randomCode());
        s.tiles.set(static_cast<int>(rng() % kCols), static_cast<int>(rng() % kRows), randomCode());
        s.ballX = static_cast<std::int16_t>(rng() % kCols);
        s.ballY = static_cast<std::int16_t>(rng() % kRows);
        s.lastX = static_cast<std::int16_t>(rng() % kCols);
        s.lastY = static_cast<std::int16_t>(rng() % kRows);
        s.tiles.set(s.ballX, s.ballY, tileBall);
        const int oldX = s.ballX, oldY = s.ballY;

        Ball_Timer(s);

        ASSERT_TRUE(insideGrid(s.ballX, s.ballY)) << i;
        ASSERT_EQ(s.lastX, oldX);
        ASSERT_EQ(s.lastY, oldY);
        ASSERT_EQ(s.tiles.at(s.ballX, s.ballY), tileBall);
        if (i % 1000 == 0) {
            ASSERT_EQ(std::count(s.tiles.cells().begin(), s.tiles.cells().end(), tileBall), 1);
        }
    }
}

}  // namespace
}  // namespace kestro
