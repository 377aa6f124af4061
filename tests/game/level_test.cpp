#include "game/level.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime_error.h"
#include "game/random.h"
#include "game/slider.h"
#include "tests/game/game_test_support.h"
#include "tests/support/grids.h"

namespace kestro {
namespace {

using test::gridDiff;
using test::RecordingDisplay;

constexpr float kJustBelowOne = 1.0f - 0x1p-24f;

// Notes the scatter count in force at every draw, then hands out the draw of another generator.
class SpyRandom final : public RandomSource {
  public:
    SpyRandom(const GameState& state, RandomSource& inner) : state_(state), inner_(inner) {}
    float draw() override {
        countsAtDraw.push_back(state_.scatterCount);
        return inner_.draw();
    }
    std::vector<std::int16_t> countsAtDraw;

  private:
    const GameState& state_;
    RandomSource& inner_;
};

// The fixed part of every level, built cell by cell: border walls, the ball and the four goals.
Tiles levelFrame() {
    Tiles t = test::borderWalls();
    t.set(35, 27, tileBall);
    for (int element : {120, 174, 2598, 2652}) {
        t.cells()[static_cast<std::size_t>(element)] = tileGoal;
    }
    return t;
}

struct Run {
    GameState state;
    RecordingDisplay display;
};

TEST(GameLevel, CountsByLevel) {
    struct Case {
        std::int32_t level;
        std::int16_t blocks;
        std::int16_t markers;
    };
    const Case cases[] = {{0, 0, 0},   {1, 7, 0},    {2, 14, 1},    {5, 34, 2},
                          {10, 68, 3}, {20, 136, 6}, {40, 272, 13}, {80, 544, 26}};
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level));
        StandardSliders sliders;
        sliders.SLvl.setValue(c.level);
        GameState s;
        SeededRandom seeded(static_cast<std::uint64_t>(c.level) + 1);
        SpyRandom spy(s, seeded);
        NullDisplay display;
        generateLevel(s, sliders.view(), spy, display);

        EXPECT_EQ(s.level, c.level);
        EXPECT_EQ(s.scatterCount, c.markers);
        // The counts the window tells the player are the ones the level scatters.
        const ScatterCounts told = scatterCounts(static_cast<std::int16_t>(c.level));
        EXPECT_EQ(told.blocks, c.blocks);
        EXPECT_EQ(told.markers, c.markers);
        ASSERT_EQ(spy.countsAtDraw.size(), 2u * static_cast<std::size_t>(c.blocks + c.markers));
        // Blocks first, two draws each, then the markers.
        for (std::size_t i = 0; i < spy.countsAtDraw.size(); ++i) {
            const bool blockDraw = i < 2u * static_cast<std::size_t>(c.blocks);
            EXPECT_EQ(spy.countsAtDraw[i], blockDraw ? c.blocks : c.markers) << "draw " << i;
        }
    }
}

TEST(GameLevel, GoalsLeftAreTheGoalCellsStillHoldingAGoal) {
    struct Case {
        const char* name;
        std::vector<std::pair<Cell, std::int16_t>> changes;  // written over a fresh level frame
        int left;
    };
    const Case cases[] = {
        {"a fresh level", {}, 4},
        {"one taken", {{{2, 2}, tileEmpty}}, 3},
        {"the ball standing on one", {{{56, 44}, tileBall}}, 3},
        {"a goal elsewhere does not count", {{{2, 2}, tileEmpty}, {{10, 10}, tileGoal}}, 3},
        {"all taken",
         {{{56, 44}, tileEmpty}, {{56, 2}, tileEmpty}, {{2, 44}, tileEmpty}, {{2, 2}, tileBall}},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tiles t = levelFrame();
        for (const auto& [cell, code] : c.changes) {
            t.set(cell.x, cell.y, code);
        }
        EXPECT_EQ(goalsLeft(t), c.left);
    }
}

TEST(GameLevel, StartValuesAndLabels) {
    StandardSliders sliders;  // level 1, acceleration 5, top speed 300
    GameState s;
    SeededRandom random(1);
    RecordingDisplay display;
    generateLevel(s, sliders.view(), random, display);

    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.score, 60);  // (1 + 300 + 2 * 0) / 5 = 60.2: the old acceleration was 0
    EXPECT_EQ(s.accelStep, 5);
    EXPECT_EQ(s.ballInterval, 390);
    EXPECT_EQ(s.minInterval, 201);
    EXPECT_EQ(s.bankedScore, 0);
    EXPECT_EQ(display.labels[LabelId::Label1], "Level: 1");
    EXPECT_EQ(display.labels[LabelId::Label2], "Acceleration: 5");
    EXPECT_EQ(display.labels[LabelId::Label3], "Top Speed: 300");
    EXPECT_EQ(s.ballX, 35);
    EXPECT_EQ(s.ballY, 27);
    EXPECT_EQ(s.lastX, 34);
    EXPECT_EQ(s.lastY, 28);
}

TEST(GameLevel, DerivedNumbersFromSlidersAndPreviousState) {
    struct Case {
        const char* name;
        std::int32_t level, accel, speed;
        std::int16_t oldAccel;
        std::int32_t banked;
        std::int32_t score;
        std::int16_t ballInterval, minInterval;
        const char* speedLabel;
    };
    const Case cases[] = {
        {"start values", 1, 5, 300, 0, 0, 60, 390, 201, "Top Speed: 300"},
        {"ball period tie to even 392", 1, 5, 302, 0, 0, 61, 392, 199, "Top Speed: 302"},
        {"ball period 5.5 gives 6", 0, 1, 2, 0, 0, 0, 6, 499, "Top Speed: 2"},
        {"ball period 10.5 gives 10", 0, 1, 6, 0, 0, 1, 10, 495, "Top Speed: 6"},
        {"previous acceleration scores", 1, 5, 300, 5, 0, 62, 390, 201, "Top Speed: 300"},
        {"banked score added", 1, 5, 300, 0, 1000, 1060, 390, 201, "Top Speed: 300"},
        {"top speed at max", 1, 5, 500, 0, 0, 100, 640, 1, "Top Speed: 500"},
        {"top speed -1", 1, 5, -1, 0, 0, 0, 14, 502, "Top Speed: -1"},
        {"score rounds 0.8 up", 2, 1, 0, 0, 0, 1, 3, 501, "Top Speed: 0"},
        {"score rounds 1.8 up", 3, 1, 0, 0, 0, 2, 3, 501, "Top Speed: 0"},
        {"negative fraction", 0, 1, -1, 0, 0, 0, 2, 502, "Top Speed: -1"},
        {"highest settings", 80, 20, 500, 20, 0, 1388, 685, 1, "Top Speed: 500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandardSliders sliders;
        sliders.SLvl.setValue(c.level);
        sliders.SAccel.setValue(c.accel);
        sliders.SSpeed.setValue(c.speed);
        GameState s;
        s.accelStep = c.oldAccel;
        s.bankedScore = c.banked;
        SeededRandom random(3);
        RecordingDisplay display;
        generateLevel(s, sliders.view(), random, display);

        EXPECT_EQ(s.score, c.score);
        EXPECT_EQ(s.accelStep, c.accel);
        EXPECT_EQ(s.ballInterval, c.ballInterval);
        EXPECT_EQ(s.minInterval, c.minInterval);
        EXPECT_EQ(s.bankedScore, c.banked);
        EXPECT_EQ(display.labels[LabelId::Label1], "Level: " + std::to_string(c.level));
        EXPECT_EQ(display.labels[LabelId::Label2], "Acceleration: " + std::to_string(c.accel));
        EXPECT_EQ(display.labels[LabelId::Label3], c.speedLabel);
    }
}

TEST(GameLevel, SecondCallScoresWithThePreviousCallsAcceleration) {
    StandardSliders sliders;
    GameState s;
    SeededRandom random(5);
    NullDisplay display;
    generateLevel(s, sliders.view(), random, display);
    EXPECT_EQ(s.score, 60);

    sliders.SAccel.setValue(20);
    s.tiles.clear();
    generateLevel(s, sliders.view(), random, display);
    EXPECT_EQ(s.score, 62);  // (1 + 300 + 2 * 5) / 5 = 62.2
    EXPECT_EQ(s.accelStep, 20);
    EXPECT_EQ(s.ballInterval, 435);  // 375 + 3 * 20

    s.tiles.clear();
    generateLevel(s, sliders.view(), random, display);
    EXPECT_EQ(s.score, 68);  // (1 + 300 + 2 * 20) / 5 = 68.2
}

TEST(GameLevel, LevelZeroHoldsOnlyBorderBallAndGoals) {
    StandardSliders sliders;
    sliders.SLvl.setValue(0);
    GameState s;
    ScriptedRandom random({});  // no draw may be taken
    NullDisplay display;
    generateLevel(s, sliders.view(), random, display);

    const Tiles expected = levelFrame();
    EXPECT_EQ(s.tiles, expected) << gridDiff(expected, s.tiles);
    EXPECT_EQ(s.scatterCount, 0);
    EXPECT_EQ(random.used(), 0u);
}

TEST(GameLevel, UnclearedGridKeepsOldTilesButFixedPlacesAreRewritten) {
    StandardSliders sliders;
    sliders.SLvl.setValue(0);
    GameState s;
    s.tiles.cells().fill(tileMarker);
    for (int element : {120, 174, 2598, 2652, 1628}) {
        s.tiles.cells()[static_cast<std::size_t>(element)] = tileBlock;
    }
    s.tiles.set(0, 0, tileEmpty);
    s.tiles.set(58, 46, tileGoal);
    s.ballX = 3;
    s.ballY = 4;
    s.lastX = 2;
    s.lastY = 3;
    ScriptedRandom random({});
    NullDisplay display;
    generateLevel(s, sliders.view(), random, display);

    Tiles expected = levelFrame();
    for (int y = 1; y < kRows - 1; ++y) {
        for (int x = 1; x < kCols - 1; ++x) {
            if (expected.at(x, y) == tileEmpty) {
                expected.set(x, y, tileMarker);
            }
        }
    }
    EXPECT_EQ(s.tiles, expected) << gridDiff(expected, s.tiles);
    EXPECT_EQ(s.ballX, 35);
    EXPECT_EQ(s.ballY, 27);
    EXPECT_EQ(s.lastX, 34);
    EXPECT_EQ(s.lastY, 28);
}

// A new level keeps the pointer's cell, the banked score and every variable it does not lay out.
TEST(GameLevel, ChangesOnlyTheVariablesOfTheLevel) {
    StandardSliders sliders;
    sliders.SLvl.setValue(5);
    GameState s;
    s.cursorX = 17;
    s.cursorY = 9;
    s.nextX = 40;
    s.nextY = 30;
    s.stepX = -1;
    s.stepY = 1;
    s.scanX = 3;
    s.scanY = 4;
    s.bankedScore = 250;
    s.tileW = 12.5f;
    s.tileH = 8.25f;
    s.sceneReady = true;
    GameState expected = s;
    SeededRandom random(11);
    NullDisplay display;
    generateLevel(s, sliders.view(), random, display);

    expected.tiles = s.tiles;
    expected.level = 5;
    expected.scatterCount = 2;  // the markers of level 5
    expected.randX = s.randX;
    expected.randY = s.randY;
    expected.score = 315;  // (25 + 300 + 2 * 0) / 5 + 250
    expected.accelStep = 5;
    expected.minInterval = 201;
    expected.ballInterval = 390;
    expected.lastX = 34;
    expected.lastY = 28;
    expected.ballX = 35;
    expected.ballY = 27;
    EXPECT_TRUE(s == expected);
    EXPECT_EQ(s.cursorX, 17);
    EXPECT_EQ(s.cursorY, 9);
    EXPECT_EQ(s.bankedScore, 250);
}

TEST(GameLevel, AimedScatterColumnDrawFirstRoundedHalfToEven) {
    StandardSliders sliders;
    sliders.SLvl.setValue(2);  // 14 blocks and 1 marker
    const std::vector<float> draws = {
        0.0f,
        0.0f,  // (3, 3): the scatter's first cell, just inside the goal
        kJustBelowOne,
        kJustBelowOne,  // (55, 43): its last cell
        0.0f,
        kJustBelowOne,  // (3, 43): the column is the first draw
        kJustBelowOne,
        0.5f,  // (55, 23)
        0.125f,
        0.0625f,  // 9.5 -> 10 and 5.5 -> 6
        0.375f,
        0.1875f,  // 22.5 -> 22 and 10.5 -> 10
        static_cast<float>(32.0 / 52.0),
        0.6f,  // (35, 27): the ball's start cell
        0.5f,
        0.5f,  // (29, 23), twice
        0.5f,
        0.5f,  //
        0.25f,
        0.25f,  // (16, 13), five times
        0.25f,
        0.25f,  //
        0.25f,
        0.25f,  //
        0.25f,
        0.25f,  //
        0.25f,
        0.25f,  //
        0.5f,
        0.5f,  // the marker, on the block at (29, 23)
    };
    ScriptedRandom random(draws);
    GameState s;
    NullDisplay display;
    generateLevel(s, sliders.view(), random, display);

    Tiles expected = levelFrame();
    const std::vector<std::pair<int, int>> blocks = {{3, 3},  {55, 43}, {3, 43}, {55, 23},
                                                     {10, 6}, {22, 10}, {16, 13}};
    for (auto [x, y] : blocks) {
        expected.set(x, y, tileBlock);
    }
    expected.set(29, 23, tileMarker);
    EXPECT_EQ(s.tiles, expected) << gridDiff(expected, s.tiles);
    EXPECT_EQ(random.used(), draws.size());
    EXPECT_EQ(s.scatterCount, 1);
    EXPECT_EQ(s.randX, 29);
    EXPECT_EQ(s.randY, 23);
}

TEST(GameLevel, ScatterStaysOffBorderBandsOverManySeeds) {
    StandardSliders sliders;
    sliders.SLvl.setValue(80);
    NullDisplay display;
    const Tiles frame = levelFrame();
    int minX = kCols, maxX = -1, minY = kRows, maxY = -1;
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GameState s;
        SeededRandom random(seed);
        generateLevel(s, sliders.view(), random, display);
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                const std::int16_t code = s.tiles.at(x, y);
                const bool band = x <= 2 || x >= 56 || y <= 2 || y >= 44;
                if (band || frame.at(x, y) == tileBall) {
                    ASSERT_EQ(code, frame.at(x, y)) << "(" << x << "," << y << ")";
                } else if (code != tileEmpty) {
                    ASSERT_TRUE(code == tileBlock || code == tileMarker) << code;
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
            }
        }
    }
    // The scatter reaches its end columns and rows, and no further.
    EXPECT_EQ(minX, 3);
    EXPECT_EQ(maxX, 55);
    EXPECT_EQ(minY, 3);
    EXPECT_EQ(maxY, 43);
}

// A slider that reports whatever value it is given, as a damaged control or saved game might.
class RawSlider final : public Slider {
  public:
    RawSlider(std::int32_t min, std::int32_t max, std::int32_t value)
        : min_(min), max_(max), value_(value) {}
    std::int32_t min() const override { return min_; }
    std::int32_t max() const override { return max_; }
    std::int32_t value() const override { return value_; }
    void setValue(std::int32_t v) override { value_ = v; }

  private:
    std::int32_t min_, max_, value_;
};

TEST(GameLevel, OverflowIsReportedAndLeavesTheGameUntouched) {
    struct Case {
        const char* name;
        std::int32_t level, accel, speed;
        std::int16_t oldAccel;
        std::int32_t banked;
    };
    const Case cases[] = {
        {"level beyond 16 bits", 40000, 5, 300, 0, 0},
        {"level x 20 beyond 16 bits", 1700, 5, 300, 0, 0},
        {"old acceleration x 2 beyond 16 bits", 1, 5, 300, 20000, 0},
        {"acceleration beyond 16 bits", 1, 40000, 300, 0, 0},
        {"acceleration x 3 beyond 16 bits", 1, 11000, 300, 0, 0},
        {"max - value + 1 beyond 32 bits", 1, 5, INT32_MIN, 0, 0},
        {"minimum period beyond 16 bits", 1, 5, -40000, 0, 0},
        {"ball period beyond 16 bits", 1, 5, 30000, 0, 0},
        {"score beyond 32 bits", 1, 5, 300, 0, INT32_MAX - 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RawSlider level(0, 80, c.level), accel(1, 20, c.accel), speed(-1, 500, c.speed);
        const Sliders sliders{level, accel, speed};
        GameState s;
        s.tiles.set(20, 20, tileBlock);
        s.accelStep = c.oldAccel;
        s.bankedScore = c.banked;
        s.score = 7;
        const GameState before = s;
        ScriptedRandom random(std::vector<float>(100000, 0.5f));
        RecordingDisplay display;
        try {
            generateLevel(s, sliders, random, display);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), errnum::kOverflow);
        }
        EXPECT_TRUE(s == before);
        EXPECT_EQ(random.used(), 0u);
        EXPECT_TRUE(display.labels.empty());
    }
}

}  // namespace
}  // namespace kestro
