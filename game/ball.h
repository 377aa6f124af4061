#pragma once

#include "game/game_state.h"

namespace kestro {

// One tick of the ball: one diagonal cell, with every reflection, push and escape rule.
void Ball_Timer(GameState& s);

}  // namespace kestro
