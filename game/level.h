#pragma once

#include <array>
#include <cstdint>

#include "game/display.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/slider.h"

namespace kestro {

// The four goals a level lays out, one in each corner inside the border. The level is complete
// when none of them holds a goal any more.
inline constexpr std::array<Cell, 4> kGoalCells{{{56, 44}, {56, 2}, {2, 44}, {2, 2}}};

// How many goals are left on the grid: the goal cells that still hold a goal (the ball standing
// on one counts as taken).
int goalsLeft(const Tiles& tiles);

// How many blocks and markers a level scatters (fewer distinct ones when positions repeat).
struct ScatterCounts {
    std::int16_t blocks = 0;
    std::int16_t markers = 0;
};
ScatterCounts scatterCounts(std::int16_t level);

// Lays out a level on the grid (border, scattered blocks and markers, ball, goals) and derives
// the level's timing and starting score from the sliders. It does not clear the grid first.
void generateLevel(GameState& s, const Sliders& sliders, RandomSource& random,
                   GameDisplay& display);

}  // namespace kestro
