#include "render/pointer_mark.h"

#include <cmath>

#include "common/rounding.h"
#include "render/entity.h"

namespace kestro {

std::optional<PixelBox> cellBox(int x, int y, float tileW, float tileH) {
    // The cell's corners as the scene writes them and the renderer reads them back.
    renderEntity cell;
    cell.x1 = static_cast<float>(x) * tileW;
    cell.x2 = cell.x1 + tileW;
    cell.y1 = static_cast<float>(y) * tileH;
    cell.y2 = cell.y1 + tileH;
    for (const float v : {cell.x1, cell.x2, cell.y1, cell.y2}) {
        if (!std::isfinite(v)) {
            return std::nullopt;
        }
    }
    const renderEntity drawn = textToEntity(entityToText(cell));
    const auto left = tryNearest<std::int32_t>(drawn.x1);
    const auto right = tryNearest<std::int32_t>(drawn.x2);
    const auto top = tryNearest<std::int32_t>(drawn.y1);
    const auto bottom = tryNearest<std::int32_t>(drawn.y2);
    if (!left || !right || !top || !bottom) {
        return std::nullopt;
    }
    return PixelBox{*left, *top, *right, *bottom};
}

std::optional<PixelBox> pointerWallBox(const GameState& s) {
    if (s.cursorX == 0 || s.cursorY == 0 || !insideGrid(s.cursorX, s.cursorY) ||
        s.tiles.at(s.cursorX, s.cursorY) != tileWall) {
        return std::nullopt;
    }
    return cellBox(s.cursorX, s.cursorY, s.tileW, s.tileH);
}

}  // namespace kestro
