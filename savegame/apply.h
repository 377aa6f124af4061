#pragma once
// Putting a decoded saved game in place.

#include "game/game_state.h"
#include "game/slider.h"
#include "savegame/codec.h"

namespace kestro::savegame {

// Puts the stored tiles and variables into s and sets the sliders in the order SSpeed, SAccel,
// SLvl (each raises its Change notification). Everything the file does not store stays as it
// is: level, stepX/stepY, randX/randY, tileW/tileH and sceneReady.
void applyDecodedGame(const DecodedGame& g, GameState& s, const Sliders& sliders);

}  // namespace kestro::savegame
