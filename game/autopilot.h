#pragma once
// The planner at the controls: the game advanced with the pointer moved where the planner says
// before each ball tick. The window's demo and kestro-sim's --autopilot both play this way.

#include <functional>

#include "game/game.h"
#include "game/planner.h"

namespace kestro {

// Advances the game through every ball tick due by `end`. Before each, in its own millisecond
// and ahead of the timers due in it, `move` is called with the tick's time and the position the
// planner chose (nothing is called when the pointer stays); `move` moves the pointer. Timers
// after the last ball tick due by `end` are left for the caller's own advance to `end`.
void playAhead(Game& game, Planner& planner, Millis end,
               const std::function<void(Millis at, PointerPosition p)>& move);

}  // namespace kestro
