#include "game/pointer.h"

#include <cmath>
#include <cstdint>

#include "common/rounding.h"

namespace kestro {

namespace {

// |nearest(u) - 1| as a grid coordinate below `count`, or nothing.
std::optional<int> mapAxis(float position, float cellSize, int count) {
    const float u = position / cellSize;  // on floats, as the pointer event delivers them
    const auto r = tryNearest<std::int32_t>(u);
    if (!r) {
        return std::nullopt;  // NaN, infinite or far beyond any playfield
    }
    const std::int64_t c = std::int64_t{*r} - 1;
    const std::int64_t a = c < 0 ? -c : c;
    if (a >= count) {
        return std::nullopt;
    }
    return static_cast<int>(a);
}

}  // namespace

std::optional<Cell> pointerCell(float x, float y, float tileW, float tileH) {
    const auto col = mapAxis(x, tileW, kCols);
    const auto row = mapAxis(y, tileH, kRows);
    if (!col || !row) {
        return std::nullopt;
    }
    return Cell{*col, *row};
}

void Kestro_MouseMove(GameState& s, float x, float y) {
    if (s.cursorX != 0 && s.cursorY != 0) {
        s.tiles.set(s.cursorX, s.cursorY, tileEmpty);
    }
    const auto cell = pointerCell(x, y, s.tileW, s.tileH);
    if (!cell || s.tiles.at(cell->x, cell->y) != tileEmpty) {
        return;
    }
    s.tiles.set(cell->x, cell->y, tileWall);
    s.cursorX = static_cast<std::int16_t>(cell->x);
    s.cursorY = static_cast<std::int16_t>(cell->y);
}

}  // namespace kestro
