// Games saved in the middle of real play load again and go on exactly as the original.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "game/ball.h"
#include "game/display.h"
#include "game/game_state.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/playable.h"
#include "savegame/slider_values.h"

namespace kestro::savegame {
namespace {

struct Setting {
    std::int32_t level, accel, speed;
};

TEST(SaveGamePlay, GamesSavedDuringPlayLoadAndPlayOnTheSame) {
    const Setting settings[] = {{1, 5, 300}, {0, 1, -1}, {20, 20, 500}, {80, 12, 137}};
    std::mt19937 events(5);
    for (const auto& setting : settings) {
        SCOPED_TRACE("level " + std::to_string(setting.level));
        StandardSliders sliders;
        sliders.SLvl.setValue(setting.level);
        sliders.SAccel.setValue(setting.accel);
        sliders.SSpeed.setValue(setting.speed);
        SeededRandom random(static_cast<std::uint64_t>(setting.level) * 7919 + 1);
        NullDisplay display;
        GameState s;
        generateLevel(s, sliders.view(), random, display);

        for (int tick = 1; tick <= 2500; ++tick) {
            Ball_Timer(s);
            // What the clock and the pointer do meanwhile, roughly.
            if (tick % 40 == 0) {
                s.score -= 1;
                s.ballInterval = static_cast<std::int16_t>(
                    std::max<int>(s.minInterval, s.ballInterval - s.accelStep));
            }
            if (tick % 300 == 0) {
                const int x = std::uniform_int_distribution<int>(1, 57)(events);
                const int y = std::uniform_int_distribution<int>(1, 45)(events);
                if (s.tiles.at(x, y) == tileEmpty) {
                    if (s.cursorX != 0 || s.cursorY != 0) {
                        s.tiles.set(s.cursorX, s.cursorY, tileEmpty);
                    }
                    s.tiles.set(x, y, tileWall);
                    s.cursorX = static_cast<std::int16_t>(x);
                    s.cursorY = static_cast<std::int16_t>(y);
                }
            }
            if (tick % 1000 == 0) {
                s.bankedScore = s.score;
                s.tiles.clear();
                sliders.SLvl.setValue(sliders.SLvl.value() == 80 ? 0 : sliders.SLvl.value() + 1);
                generateLevel(s, sliders.view(), random, display);
            }
            if (tick % 37 != 0) {
                continue;
            }

            const std::int32_t key = tick * 31 % 86401;
            const auto decoded = decodePlayable(encode(s, readSliderValues(sliders.view()), key));
            ASSERT_TRUE(decoded.ok()) << "tick " << tick << ": " << decoded.error().reason;
            EXPECT_FALSE(decoded.value().dimensionsTampered);

            GameState loaded;
            loaded.level = s.level;
            StandardSliders loadedSliders;
            applyDecodedGame(decoded.value(), loaded, loadedSliders.view());
            EXPECT_EQ(readSliderValues(loadedSliders.view()), readSliderValues(sliders.view()));
            EXPECT_EQ(storedVariables(loaded), storedVariables(s));

            GameState original = s;
            for (int i = 0; i < 15; ++i) {
                Ball_Timer(original);
                Ball_Timer(loaded);
            }
            ASSERT_EQ(loaded.tiles, original.tiles) << "tick " << tick;
            ASSERT_EQ(storedVariables(loaded), storedVariables(original)) << "tick " << tick;
        }
    }
}

}  // namespace
}  // namespace kestro::savegame
