#pragma once
// "A state with every value distinct": a game whose stored variables each hold a different
// value, so a swapped or dropped field shows. Each test states its own values in a table.

#include <cstdint>
#include <vector>

#include "game/game_state.h"

namespace kestro::test {

struct PlacedTile {
    int x = 0, y = 0;
    std::int16_t code = 0;
};

// The sixteen stored variables, in the order the tests list them, and the tiles to place.
struct DistinctValues {
    std::vector<PlacedTile> tiles;
    std::int16_t cursorX = 0, cursorY = 0;
    std::int16_t scanX = 0, scanY = 0;
    std::int16_t lastX = 0, lastY = 0;
    std::int16_t nextX = 0, nextY = 0;
    std::int16_t ballX = 0, ballY = 0;
    std::int16_t minInterval = 0, ballInterval = 0;
    std::int16_t accelStep = 0, scatterCount = 0;
    std::int32_t bankedScore = 0, score = 0;
};

inline GameState distinctState(const DistinctValues& v) {
    GameState s;
    for (const PlacedTile& t : v.tiles) {
        s.tiles.set(t.x, t.y, t.code);
    }
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
    return s;
}

}  // namespace kestro::test
