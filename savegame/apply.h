#pragma once
// Putting a decoded saved game in place.

#include "game/game_state.h"
#include "game/slider.h"
#include "savegame/codec.h"

namespace kestro::savegame {

// Puts the stored variables into s: the opposite of storedVariables. Nothing else changes.
void putVariables(const StoredVariables& v, GameState& s);

// Puts the stored tiles and variables into s, sets the sliders in the order SSpeed, SAccel, SLvl
// (each raises its Change notification) and takes the level from the level slider. Everything
// else the file does not store stays as it is: stepX/stepY, randX/randY, tileW/tileH and
// sceneReady.
void applyDecodedGame(const DecodedGame& g, GameState& s, const Sliders& sliders);

}  // namespace kestro::savegame
