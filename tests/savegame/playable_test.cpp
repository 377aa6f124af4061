#include "savegame/playable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "game/display.h"
#include "game/game_clock.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/state_bounds.h"
#include "game/timer_set.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/game_file.h"
#include "savegame/messages.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

using ::testing::HasSubstr;

namespace kestro::savegame {
namespace {

constexpr std::int32_t K = 31337;
const SliderValues kSliders{300, 5, 1};

// The first level after start-up, its ball moved to (30, 20) coming from (29, 21).
GameState freshLevel() {
    StandardSliders sliders;
    SeededRandom random(8);
    NullDisplay display;
    GameState s;
    generateLevel(s, sliders.view(), random, display);
    s.tiles.set(s.ballX, s.ballY, tileEmpty);
    s.ballX = 30;
    s.ballY = 20;
    s.lastX = 29;
    s.lastY = 21;
    s.tiles.set(s.ballX, s.ballY, tileBall);
    return s;
}

struct BoundCase {
    const char* name;
    std::function<void(GameState&, std::int32_t)> set;
    std::int32_t refused;
    std::int32_t loads;  // the neighbour inside the range
    const char* mentions;
};

void setPrevious(GameState& s, std::int32_t dx, std::int32_t dy) {
    s.lastX = static_cast<std::int16_t>(s.ballX + dx);
    s.lastY = static_cast<std::int16_t>(s.ballY + dy);
}

// Each bound with the value just outside it, which is refused, and the value just inside, which
// loads; and the values that made a loaded game overflow or jump within its first second.
TEST(SaveGamePlayable, RefusesEachValueJustOutsideItsRangeAndLoadsItsNeighbour) {
    const auto i16 = [](std::int16_t GameState::*field) {
        return [field](GameState& s, std::int32_t v) { s.*field = static_cast<std::int16_t>(v); };
    };
    const auto i32 = [](std::int32_t GameState::*field) {
        return [field](GameState& s, std::int32_t v) { s.*field = v; };
    };
    const auto previousX = [](GameState& s, std::int32_t dx) { setPrevious(s, dx, 1); };
    const auto previousY = [](GameState& s, std::int32_t dy) { setPrevious(s, -1, dy); };
    constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
    const BoundCase cases[] = {
        {"accelStep below 0", i16(&GameState::accelStep), -1, 0, "accelStep is -1, outside 0..20"},
        {"accelStep above the slider", i16(&GameState::accelStep), 21, 20, "accelStep is 21"},
        {"accelStep at the 16-bit minimum", i16(&GameState::accelStep), -32768, 1, "accelStep"},
        {"accelStep that doubles past 16 bits", i16(&GameState::accelStep), 16384, 20,
         "accelStep is 16384"},
        {"ballInterval 0", i16(&GameState::ballInterval), 0, 1,
         "ballInterval is 0, outside 1..32767"},
        {"ballInterval far below", i16(&GameState::ballInterval), -31268, 32767, "ballInterval"},
        {"minInterval 0", i16(&GameState::minInterval), 0, 1, "minInterval is 0, outside 1..32767"},
        {"minInterval at the 16-bit minimum", i16(&GameState::minInterval), -32768, 32767,
         "minInterval"},
        {"scatterCount below 0", i16(&GameState::scatterCount), -1, 0, "scatterCount is -1"},
        {"scatterCount above the most blocks", i16(&GameState::scatterCount), 545, 544,
         "scatterCount is 545, outside 0..544"},
        {"score below", i32(&GameState::score), -1'000'000'001, -1'000'000'000,
         "score is -1000000001, outside -1000000000..1000000000"},
        {"score above", i32(&GameState::score), 1'000'000'001, 1'000'000'000, "score is"},
        {"score at the 32-bit minimum", i32(&GameState::score), kMin32, -60, "score"},
        {"score at the 32-bit maximum", i32(&GameState::score), kMax32, 60, "score"},
        {"bankedScore below", i32(&GameState::bankedScore), -1'000'000'001, -1'000'000'000,
         "bankedScore is -1000000001"},
        {"bankedScore above", i32(&GameState::bankedScore), 1'000'000'001, 1'000'000'000,
         "bankedScore is 1000000001"},
        {"previous cell in the ball's column", previousX, 0, -1, "previous cell (30, 21)"},
        {"previous cell two columns away", previousX, 2, 1, "previous cell (32, 21)"},
        {"previous cell in the ball's row", previousY, 0, -1, "previous cell (29, 20)"},
        {"previous cell two rows away", previousY, -2, 1, "previous cell (29, 18)"},
        {"previous cell four steps away",
         [](GameState& s, std::int32_t d) { setPrevious(s, d, d); }, -4, -1,
         "previous cell (26, 16) is not one diagonal step from the ball's cell (30, 20)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GameState s = freshLevel();
        c.set(s, c.loads);
        const DecodeResult loads = decodePlayable(encode(s, kSliders, K));
        ASSERT_TRUE(loads.ok()) << loads.error().reason;
        EXPECT_EQ(loads.value().variables, storedVariables(s));

        c.set(s, c.refused);
        const SaveBytes file = encode(s, kSliders, K);
        ASSERT_TRUE(decode(file).ok()) << "the format itself holds the value";
        const DecodeResult r = decodePlayable(file);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().kind, RefusalKind::NotPlayable);
        const std::string text = refusalText(r.error());
        EXPECT_EQ(text.rfind(kCannotLoadMessage, 0), 0u) << text;
        EXPECT_THAT(text, HasSubstr(c.mentions));
        EXPECT_EQ(text, std::string(kCannotLoadMessage) + r.error().reason);
    }
}

// The loader refuses such a file before anything is applied, ahead of the tamper note; a wrong
// tag is still the version message.
TEST(SaveGamePlayable, TheLoaderRefusesAndTheVersionMessageComesFirst) {
    const kestro::test::TempDir dir("kestro-playable");
    GameState s = freshLevel();
    s.accelStep = -32768;
    SaveBytes bytes = encode(s, kSliders, K);
    bytes[8] = 59;  // tampered dimensions do not let the file through
    kestro::test::writeFile(dir / "bad.egf", std::string(bytes.begin(), bytes.end()));
    const auto loaded = loadSavedGame(dir / "bad.egf");
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().kind, RefusalKind::NotPlayable);
    EXPECT_EQ(refusalText(loaded.error()),
              "Sorry, this file cannot be loaded: accelStep is -32768, outside 0..20: it is the "
              "acceleration slider's value, or 0 before the first level.");

    bytes[7] = 'r';
    const DecodeResult version = decodePlayable(bytes);
    ASSERT_FALSE(version.ok());
    EXPECT_EQ(version.error().kind, RefusalKind::WrongVersion);
    EXPECT_EQ(refusalText(version.error()), kWrongVersionMessage);
}

// Every level the sliders can build loads, from the first level after start-up (accelStep still
// 0) to banked scores at the ends of the range, and so does the game through its acceleration
// ticks down to the shortest period.
TEST(SaveGamePlayable, EveryLevelGenerationBuildsLoads) {
    const std::int32_t speeds[] = {-1, 0, 1, 299, 300, 499, 500};
    const std::int32_t banked[] = {kScoreRange.min, -1, 0, kScoreRange.max - kMostLevelBonus};
    NullDisplay display;
    SeededRandom random(3);
    for (std::int32_t level = kLevelSlider.min; level <= kLevelSlider.max; ++level) {
        for (std::int32_t accel = kAccelSlider.min; accel <= kAccelSlider.max; ++accel) {
            for (const std::int32_t speed : speeds) {
                for (const std::int32_t bank : banked) {
                    for (const std::int16_t previous : {std::int16_t{0}, std::int16_t{20}}) {
                        StandardSliders sliders;
                        sliders.SLvl.setValue(level);
                        sliders.SAccel.setValue(accel);
                        sliders.SSpeed.setValue(speed);
                        GameState s;
                        s.bankedScore = bank;
                        s.accelStep = previous;
                        generateLevel(s, sliders.view(), random, display);
                        TimerSet timers;
                        for (int tick = 0; tick < 700; ++tick) {
                            const auto r = checkPlayable(storedVariables(s));
                            ASSERT_TRUE(r.ok())
                                << r.error().reason << " at level " << level << ", accel " << accel
                                << ", speed " << speed << ", banked " << bank << ", tick " << tick;
                            if (s.ballInterval <= s.minInterval) {
                                break;
                            }
                            accel_Timer(s, timers);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace kestro::savegame
