#pragma once
// Every variable of the running game, with its width. All start at zero, the grid empty.

#include <cstdint>

#include "game/tiles.h"

namespace kestro {

struct GameState {
    Tiles tiles;
    std::int16_t lastX = 0, lastY = 0;      // the ball's previous cell
    std::int16_t ballX = 0, ballY = 0;      // the ball's current cell
    std::int16_t nextX = 0, nextY = 0;      // the cell the ball moves to in the current step
    std::int16_t stepX = 0, stepY = 0;      // ballX - lastX, ballY - lastY
    std::int16_t randX = 0, randY = 0;      // scratch of the scatter and of Reset's loop
    float tileW = 0.0f, tileH = 0.0f;       // cell size in playfield pixels
    std::int16_t cursorX = 0, cursorY = 0;  // the pointer's wall cell; 0 means none
    std::int16_t ballInterval = 0;          // ball period in ms
    std::int16_t minInterval = 0;           // period at or below which acceleration stops
    std::int16_t accelStep = 0;             // ms taken off ballInterval per acceleration tick
    std::int16_t scatterCount = 0;          // tiles placed by the latest scatter pass
    std::int16_t level = 0;
    std::int32_t bankedScore = 0;  // score carried into the current level
    std::int32_t score = 0;
    std::int16_t scanX = 0, scanY = 0;  // counters of the tile dump
    bool sceneReady = false;

    friend bool operator==(const GameState&, const GameState&) = default;
};

}  // namespace kestro
