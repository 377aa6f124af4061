// play(), the run of `kestro-sim play`, driven in-process and checked against the rules of
// virtual time: the timers' periods, a move before the timers of its millisecond, a level end
// printed at the tick that ended it, and draws that run out.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/display.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/tiles.h"
#include "savegame/codec.h"
#include "savegame/slider_values.h"
#include "tools/play.h"

namespace kestro::sim {
namespace {

namespace sg = kestro::savegame;

constexpr float kTile = 10.0f;

// Level `level` built at seed 42, as `kestro-sim new` saves it.
sg::DecodedGame levelAt(std::int32_t level) {
    StandardSliders sliders;
    sliders.SLvl.setValue(level);
    GameState s;
    SeededRandom random(42);
    NullDisplay display;
    generateLevel(s, sliders.view(), random, display);
    const sg::SaveBytes bytes = sg::encode(s, sg::readSliderValues(sliders.view()), 1);
    const auto decoded = sg::decode(bytes);
    EXPECT_TRUE(decoded.ok());
    return decoded.ok() ? decoded.value() : sg::DecodedGame{};
}

// The four goal cells cleared, so that the first LevelUp tick completes the level.
sg::DecodedGame goalless(std::int32_t level) {
    sg::DecodedGame g = levelAt(level);
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            if (g.tiles.at(x, y) == tileGoal) {
                g.tiles.set(x, y, tileEmpty);
            }
        }
    }
    return g;
}

struct Played {
    PlayEnd end;
    std::string out;
};

Played playFor(const sg::DecodedGame& start, Millis end, std::vector<PointerMove> moves = {},
               std::uint64_t seed = 1) {
    StandardSliders sliders;
    SeededRandom random(seed);
    std::ostringstream out;
    PlayEnd e = play(start, PlayRun{end, kTile, kTile, std::move(moves)}, random, sliders, out);
    return Played{e, out.str()};
}

// The accel and LevelUp timers tick every 200 and 150 ms whatever the game does, and the end
// line gives what the run returns.
TEST(Play, TimersTickAtTheirPeriodsAndTheEndLineSaysSo) {
    for (const Millis end : {Millis{0}, Millis{149}, Millis{150}, Millis{1000}, Millis{30001}}) {
        SCOPED_TRACE(end);
        const Played p = playFor(levelAt(3), end);
        const auto& t = p.end.ticks;
        EXPECT_EQ(t[static_cast<std::size_t>(TimerId::accel)], end / 200);
        EXPECT_EQ(t[static_cast<std::size_t>(TimerId::LevelUp)], end / 150);
        if (end == 0) {
            EXPECT_EQ(t, (std::array<std::int64_t, kTimerCount>{}));
        }
        const GameState& s = p.end.state;
        const std::string endLine =
            "end ms=" + std::to_string(end) + " ticks=" + std::to_string(t[0]) + "/" +
            std::to_string(t[1]) + "/" + std::to_string(t[2]) + "/" + std::to_string(t[3]) +
            " level=" + std::to_string(s.level) + " score=" + std::to_string(s.score) +
            " banked=" + std::to_string(s.bankedScore) +
            " interval=" + std::to_string(s.ballInterval) + "\n";
        ASSERT_GE(p.out.size(), endLine.size());
        EXPECT_EQ(p.out.substr(p.out.size() - endLine.size()), endLine);
    }
}

// A completed level is printed at the LevelUp tick that found the goals gone, not before.
TEST(Play, ALevelEndIsPrintedAtTheTickThatEndedIt) {
    const Played before = playFor(goalless(1), 149);
    EXPECT_EQ(before.out.rfind("end ms=149 ", 0), 0u) << before.out;
    EXPECT_EQ(before.end.state.level, 1);

    const Played at = playFor(goalless(1), 150);
    EXPECT_EQ(at.out.rfind("150 complete level=2 score=", 0), 0u) << at.out;
    EXPECT_EQ(at.end.state.level, 2);
}

// A move is delivered before any timer due in its millisecond: a wall put in front of the ball
// at the time of its first step turns it back. A move after the end is not delivered.
TEST(Play, AMoveComesBeforeTheTimersOfItsMillisecondAndNoneAfterTheEnd) {
    const sg::DecodedGame start = levelAt(0);
    Millis tick = 1;
    while (playFor(start, tick).end.ticks[static_cast<std::size_t>(TimerId::Ball)] == 0) {
        ++tick;
    }
    const auto& v = start.variables;
    const int frontX = 2 * v.ballX - v.lastX, frontY = 2 * v.ballY - v.lastY;
    ASSERT_EQ(start.tiles.at(frontX, frontY), tileEmpty);
    const auto onto = [](Millis ms, int x, int y) {
        return PointerMove{ms, static_cast<float>(x + 1) * kTile,
                           static_cast<float>(y + 1) * kTile};
    };

    const Played p = playFor(start, tick, {onto(tick, frontX, frontY), onto(tick + 1, 30, 30)});
    const GameState& s = p.end.state;
    EXPECT_EQ(s.tiles.at(frontX, frontY), tileWall);
    EXPECT_FALSE(s.ballX == frontX && s.ballY == frontY);
    EXPECT_EQ(s.cursorX, frontX);
    EXPECT_EQ(s.cursorY, frontY);
    EXPECT_EQ(s.tiles.at(30, 30), tileEmpty);
}

// Draws that run out stop the run with the time they ran out at.
TEST(Play, DrawsThatRunOutSayWhen) {
    class NoDraws final : public RandomSource {
      public:
        float draw() override { throw NoDrawLeft("no draws left"); }
    };
    StandardSliders sliders;
    NoDraws random;
    std::ostringstream out;
    try {
        play(goalless(1), PlayRun{1000, kTile, kTile, {}}, random, sliders, out);
        FAIL() << "the run ended without its draws";
    } catch (const DrawsRanOut& e) {
        EXPECT_EQ(e.at(), 150);  // the next level is built at the completing tick
        EXPECT_STREQ(e.what(), "no draws left");
    }
    EXPECT_EQ(out.str().find("end ms="), std::string::npos);
}

}  // namespace
}  // namespace kestro::sim
