#pragma once
// "A state with every value distinct": a game whose stored variables each hold a different
// value, so a swapped or dropped field shows. Each test states its own values in a table.

#include <cstdint>
#include <vector>

#include "game/game_state.h"
#include "savegame/apply.h"
#include "savegame/codec.h"

namespace kestro::test {

struct PlacedTile {
    int x = 0, y = 0;
    std::int16_t code = 0;
};

// The tiles to place and the sixteen stored variables.
struct DistinctValues {
    std::vector<PlacedTile> tiles;
    savegame::StoredVariables variables;
};

inline GameState distinctState(const DistinctValues& v) {
    GameState s;
    for (const PlacedTile& t : v.tiles) {
        s.tiles.set(t.x, t.y, t.code);
    }
    savegame::putVariables(v.variables, s);
    return s;
}

}  // namespace kestro::test
