#pragma once

#include "game/display.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/slider.h"

namespace kestro {

// Lays out a level on the grid (border, scattered blocks and markers, ball, goals) and derives
// the level's timing and starting score from the sliders. It does not clear the grid first.
void generateLevel(GameState& s, const Sliders& sliders, RandomSource& random,
                   GameDisplay& display);

}  // namespace kestro
