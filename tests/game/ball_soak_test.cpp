// A long run of ball ticks over random levels whose border is damaged and whose interior holds
// extra blocks and walls: the ball must stay a single tile inside the grid throughout.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "game/ball.h"
#include "game/grid_text.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"

namespace kestro {
namespace {

bool isBorder(int x, int y) {
    return x == 0 || y == 0 || x == kCols - 1 || y == kRows - 1;
}

bool knownCode(std::int16_t code) {
    return code == tileEmpty || code == tileWall || code == tileBall || code == tileBlock ||
           code == tileGoal || code == tileMarker;
}

// Builds a level, then damages it: border cells replaced by empty, block, goal or marker, and
// extra blocks and walls scattered over the whole grid (never on the ball).
void damagedLevel(GameState& s, std::mt19937& rng, SeededRandom& levelRandom) {
    StandardSliders sliders;
    sliders.SLvl.setValue(static_cast<std::int32_t>(rng() % 81));
    s.tiles.clear();
    NullDisplay display;
    generateLevel(s, sliders.view(), levelRandom, display);

    const std::int16_t borderCodes[] = {tileEmpty, tileBlock, tileGoal, tileMarker};
    const auto damagePercent = static_cast<unsigned>(rng() % 60);
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kCols; ++x) {
            if (isBorder(x, y) && rng() % 100 < damagePercent) {
                s.tiles.set(x, y, borderCodes[rng() % std::size(borderCodes)]);
            }
        }
    }
    const auto extras = static_cast<unsigned>(rng() % 400);
    for (unsigned i = 0; i < extras; ++i) {
        const int x = static_cast<int>(rng() % kCols);
        const int y = static_cast<int>(rng() % kRows);
        if (x != s.ballX || y != s.ballY) {
            s.tiles.set(x, y, rng() % 2 ? tileBlock : tileWall);
        }
    }
}

TEST(GameBallSoak, MillionTicksKeepOneBallInsideTheGrid) {
    constexpr long kTicks = 1'000'000;
    constexpr long kScanEveryTickUntil = 20'000;
    constexpr long kScanPeriod = 64;

    std::mt19937 rng(0x6b657374);
    SeededRandom levelRandom(77);
    GameState s;
    long levelsBuilt = 0;
    long tick = 0;
    while (tick < kTicks) {
        damagedLevel(s, rng, levelRandom);
        ++levelsBuilt;
        const long ticksThisLevel = 1000 + static_cast<long>(rng() % 5000);
        for (long t = 0; t < ticksThisLevel && tick < kTicks; ++t, ++tick) {
            Ball_Timer(s);

            const auto where = [&] {
                return "tick " + std::to_string(tick) + " of level " + std::to_string(levelsBuilt);
            };
            ASSERT_TRUE(insideGrid(s.ballX, s.ballY)) << where();
            ASSERT_TRUE(insideGrid(s.lastX, s.lastY)) << where();
            ASSERT_EQ(s.tiles.at(s.ballX, s.ballY), tileBall) << where();
            // Every rule leaves a diagonal step for the next tick.
            ASSERT_EQ(std::abs(s.ballX - s.lastX), 1) << where();
            ASSERT_EQ(std::abs(s.ballY - s.lastY), 1) << where();
            ASSERT_NE(s.tiles.at(s.lastX, s.lastY), tileBall) << where();

            if (tick < kScanEveryTickUntil || tick % kScanPeriod == 0) {
                const auto& cells = s.tiles.cells();
                ASSERT_EQ(std::count(cells.begin(), cells.end(), tileBall), 1) << where() << "\n"
                                                                               << gridText(s.tiles);
                ASSERT_TRUE(std::all_of(cells.begin(), cells.end(), knownCode)) << where();
            }
        }
    }
    EXPECT_GT(levelsBuilt, 100);
}

}  // namespace
}  // namespace kestro
