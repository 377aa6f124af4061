// The pointer wall: the half-cell mapping, lifting the old wall whatever it holds, placing a wall
// only on an empty cell, and positions far outside the playfield.

#include "game/pointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "tests/game/game_test_support.h"
#include "tests/support/levels.h"

namespace kestro {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Pointer, MapsToTheCellHalfACellAboveAndLeftOfThePointer) {
    struct Case {
        float x, tile;
        int column;  // -1: outside the grid or not mappable
    };
    const Case cases[] = {
        {0.0f, 10.0f, 1},      // u = 0 -> |0 - 1|: the left edge gives column 1
        {5.0f, 10.0f, 1},      // u = 0.5 -> 0 (to even)
        {5.5f, 10.0f, 0},      // u = 0.55 -> 1: the border column
        {15.0f, 10.0f, 1},     // u = 1.5 -> 2 (to even) -> 1
        {25.0f, 10.0f, 1},     // u = 2.5 -> 2 (to even) -> 1
        {25.5f, 10.0f, 2},     // u = 2.55 -> 3
        {35.0f, 10.0f, 3},     // u = 3.5 -> 4
        {-30.0f, 10.0f, 4},    // negative positions are mirrored: |-3 - 1|
        {585.0f, 10.0f, 57},   // u = 58.5 -> 58
        {590.0f, 10.0f, 58},   // u = 59 -> the right border column
        {595.5f, 10.0f, -1},   // u = 59.55 -> 60: outside
        {-575.0f, 10.0f, -1},  // u = -57.5 -> -58 -> 59: outside
        {1e30f, 10.0f, -1},   {-1e30f, 10.0f, -1}, {kInf, 10.0f, -1},
        {kNaN, 10.0f, -1},    {30.0f, 0.0f, -1},  // no cell size yet
        {0.0f, 0.0f, -1},                         // 0 / 0
        {30.0f, -10.0f, 4},  // a negative cell size mirrors like a negative position
        {1.0f, 1e-30f, -1},
    };
    for (const Case& c : cases) {
        const auto cell = pointerCell(c.x, 15.0f, c.tile, 10.0f);
        if (c.column < 0) {
            EXPECT_FALSE(cell) << "x " << c.x << " tile " << c.tile;
        } else {
            ASSERT_TRUE(cell) << "x " << c.x << " tile " << c.tile;
            EXPECT_EQ(cell->x, c.column) << "x " << c.x << " tile " << c.tile;
            EXPECT_EQ(cell->y, 1);
        }
    }
    // Rows map the same way, against the 47 rows.
    EXPECT_EQ(pointerCell(15.0f, 470.0f, 10.0f, 10.0f), (Cell{1, 46}));
    EXPECT_FALSE(pointerCell(15.0f, 480.0f, 10.0f, 10.0f));
    // The division is on floats: 9.86 / 9.86 is exactly 1 and gives column 0.
    EXPECT_EQ(pointerCell(9.86f, 15.0f, 9.86f, 10.0f), (Cell{0, 1}));
}

class PointerWall : public ::testing::Test {
  protected:
    PointerWall() : s(test::LaidLevel(0, 1).state) {
        s.tileW = 10.0f;
        s.tileH = 10.0f;
    }
    // The pixel position that maps to cell (x, y).
    void moveTo(int x, int y) {
        Kestro_MouseMove(s, static_cast<float>(x * 10 + 12), static_cast<float>(y * 10 + 12));
    }
    int walls() const {
        int n = 0;
        for (std::int16_t code : s.tiles.cells()) {
            n += code == tileWall ? 1 : 0;
        }
        return n;
    }

    GameState s;
    static constexpr int kBorderWalls = 2 * 59 + 2 * 45;
};

TEST_F(PointerWall, FollowsThePointerAcrossEmptyCells) {
    EXPECT_EQ(walls(), kBorderWalls);
    for (int x = 5; x <= 20; ++x) {
        moveTo(x, 10);
        EXPECT_EQ(s.tiles.at(x, 10), tileWall);
        EXPECT_EQ(s.cursorX, x);
        EXPECT_EQ(s.cursorY, 10);
        EXPECT_EQ(walls(), kBorderWalls + 1);
    }
    moveTo(20, 10);  // within the same cell: lifted and put back
    EXPECT_EQ(s.tiles.at(20, 10), tileWall);
}

TEST_F(PointerWall, NeverReplacesATileButLiftsItsOwnCellWhateverItHolds) {
    struct Case {
        const char* what;
        int x, y;
        std::int16_t code;
    };
    const Case cases[] = {
        {"goal", 2, 2, tileGoal},     {"ball", 35, 27, tileBall},
        {"block", 30, 30, tileBlock}, {"marker", 31, 31, tileMarker},
        {"border", 0, 20, tileWall},  {"top border", 20, 0, tileWall},
    };
    for (const Case& c : cases) {
        s.tiles.set(30, 30, tileBlock);
        s.tiles.set(31, 31, tileMarker);
        moveTo(10, 10);
        ASSERT_EQ(s.tiles.at(10, 10), tileWall);
        Kestro_MouseMove(s, static_cast<float>(c.x * 10 + 12), static_cast<float>(c.y * 10 + 12));
        EXPECT_EQ(s.tiles.at(c.x, c.y), c.code) << c.what;
        EXPECT_EQ(s.tiles.at(10, 10), tileEmpty) << c.what << ": the old wall is lifted";
        // The lifted cell is still named; the ball stepping into it is erased by the next move.
        EXPECT_EQ(s.cursorX, 10) << c.what;
        s.tiles.set(10, 10, tileBall);
        Kestro_MouseMove(s, static_cast<float>(c.x * 10 + 12), static_cast<float>(c.y * 10 + 12));
        EXPECT_EQ(s.tiles.at(10, 10), tileEmpty) << c.what;
        EXPECT_EQ(s.tiles.at(c.x, c.y), c.code) << c.what;
    }
}

TEST_F(PointerWall, PositionsOutsideTheGridOnlyLiftTheOldWall) {
    moveTo(10, 10);
    const GameState before = s;
    for (const auto& [x, y] :
         {std::pair{1e9f, 100.0f}, std::pair{100.0f, 1e9f}, std::pair{kNaN, 100.0f},
          std::pair{-kInf, -kInf}, std::pair{600.0f, 100.0f}}) {
        Kestro_MouseMove(s, x, y);
        EXPECT_EQ(s.tiles.at(10, 10), tileEmpty);
        EXPECT_EQ(s.cursorX, 10);
        EXPECT_EQ(s.cursorY, 10);
        EXPECT_EQ(walls(), kBorderWalls);
    }
    GameState expected = before;
    expected.tiles.set(10, 10, tileEmpty);
    EXPECT_EQ(s, expected);
}

TEST_F(PointerWall, ACursorFromAnOldLevelClearsItsCellInTheNewOne) {
    s.cursorX = 35;
    s.cursorY = 27;  // the ball's start cell
    moveTo(10, 10);
    EXPECT_EQ(s.tiles.at(35, 27), tileEmpty);
    EXPECT_EQ(s.tiles.at(10, 10), tileWall);

    // (0, n) and (n, 0) name no wall: nothing is lifted.
    s.cursorX = 0;
    s.cursorY = 20;
    Kestro_MouseMove(s, 1e9f, 1e9f);
    EXPECT_EQ(s.tiles.at(0, 20), tileWall);
}

}  // namespace
}  // namespace kestro
