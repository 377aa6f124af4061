#pragma once
// "Level L at seed S": a level laid out by the game itself, with the standard sliders but for
// the level one.

#include <cstdint>

#include "game/display.h"
#include "game/game_state.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"

namespace kestro::test {

struct LaidLevel {
    LaidLevel(std::int32_t level, std::uint64_t seed) {
        sliders.SLvl.setValue(level);
        SeededRandom random(seed);
        NullDisplay display;
        generateLevel(state, sliders.view(), random, display);
    }

    StandardSliders sliders;
    GameState state;
};

}  // namespace kestro::test
