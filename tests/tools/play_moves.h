#pragma once
// The pointer files the play tests hand to `kestro-sim play`, and the run the command must match:
// play() driven in-process with the same game, times and moves.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "game/playfield.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/tiles.h"
#include "savegame/codec.h"
#include "savegame/slider_values.h"
#include "tools/play.h"
#include "tools/pointer_file.h"

namespace kestro::sim::test {

using Move = PointerMove;

// The cell size play uses without --tile: the design playfield over the grid's cells.
inline const float kLayoutTileW = static_cast<float>(kDesignFieldWidth) / kCols;
inline const float kLayoutTileH = static_cast<float>(kDesignFieldHeight) / kRows;

struct PlayResult {
    std::string out;  // stdout, line by line
    GameState state;  // the game at the end
    savegame::SliderValues sliders;
};

inline PlayResult playInProcess(const savegame::DecodedGame& start, Millis end,
                                RandomSource& random, const std::vector<Move>& moves = {},
                                float tileW = kLayoutTileW, float tileH = kLayoutTileH) {
    StandardSliders sliders;
    std::ostringstream out;
    const PlayEnd e = play(start, PlayRun{end, tileW, tileH, moves}, random, sliders, out);
    return PlayResult{out.str(), e.state, savegame::readSliderValues(sliders.view())};
}

// The pixel position whose pointer wall lands on cell (x, y).
inline Move moveOnto(Millis ms, int x, int y, float tileW = kLayoutTileW,
                     float tileH = kLayoutTileH) {
    return Move{ms, static_cast<float>(x + 1) * tileW, static_cast<float>(y + 1) * tileH};
}

}  // namespace kestro::sim::test
