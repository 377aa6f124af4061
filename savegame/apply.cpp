#include "savegame/apply.h"

namespace kestro::savegame {

void putVariables(const StoredVariables& v, GameState& s) {
    s.cursorX = v.cursorX;
    s.cursorY = v.cursorY;
    s.scanX = v.scanX;
    s.scanY = v.scanY;
    s.lastX = v.lastX;
    s.lastY = v.lastY;
    s.nextX = v.nextX;
    s.nextY = v.nextY;
    s.ballX = v.ballX;
    s.ballY = v.ballY;
    s.minInterval = v.minInterval;
    s.ballInterval = v.ballInterval;
    s.accelStep = v.accelStep;
    s.scatterCount = v.scatterCount;
    s.bankedScore = v.bankedScore;
    s.score = v.score;
}

void applyDecodedGame(const DecodedGame& g, GameState& s, const Sliders& sliders) {
    s.tiles = g.tiles;
    putVariables(g.variables, s);
    sliders.SSpeed.setValue(g.sliders.SSpeed);
    sliders.SAccel.setValue(g.sliders.SAccel);
    sliders.SLvl.setValue(g.sliders.SLvl);
    // The game goes on at the level it was saved at: completing it moves on from there.
    s.level = static_cast<std::int16_t>(sliders.SLvl.value());
}

}  // namespace kestro::savegame
