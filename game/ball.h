#pragma once

#include "game/events.h"
#include "game/game_state.h"

namespace kestro {

// One tick of the ball: one diagonal cell, with every reflection, push and escape rule. Tells
// report what the ball met: at most one reflection or block event, then a goal or marker landed
// on.
void Ball_Timer(GameState& s, const EventReport& report = {});

}  // namespace kestro
