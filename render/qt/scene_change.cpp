#include "render/qt/scene_change.h"

#include <algorithm>
#include <cstdint>

#include <QRect>

#include "render/scene.h"

namespace kestro {
namespace {

// Shapes stay inside their cell's box; a pixel of margin keeps the region safe from rounding.
constexpr std::int64_t kMargin = 1;

// The box's pixels (left..right-1 by top..bottom-1) and the margin round them.
QRect around(const PixelBox& b) {
    const std::int64_t left = std::min(b.left, b.right) - kMargin;
    const std::int64_t right = std::max(b.left, b.right) - 1 + kMargin;
    const std::int64_t top = std::min(b.top, b.bottom) - kMargin;
    const std::int64_t bottom = std::max(b.top, b.bottom) - 1 + kMargin;
    return QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
                 QPoint(static_cast<int>(right), static_cast<int>(bottom)));
}

bool hasCodeWithoutColour(const Tiles& tiles) {
    return std::any_of(tiles.cells().begin(), tiles.cells().end(),
                       [](std::int16_t c) { return c != tileEmpty && !tileColour(c).has_value(); });
}

}  // namespace

std::optional<QRegion> sceneChange(const DrawnScene& before, const DrawnScene& after) {
    if (!before.sceneReady || !after.sceneReady || before.tileW != after.tileW ||
        before.tileH != after.tileH || before.imageSize != after.imageSize ||
        before.ratio != after.ratio || before.palette != after.palette ||
        hasCodeWithoutColour(before.tiles) || hasCodeWithoutColour(after.tiles)) {
        return std::nullopt;
    }
    // Boxes beyond what a region holds (a huge cell size) are no help: all of it, then.
    constexpr std::int32_t kLimit = 1 << 28;
    const auto fits = [](const PixelBox& b) {
        return std::max({std::abs(b.left), std::abs(b.right), std::abs(b.top),
                         std::abs(b.bottom)}) < kLimit;
    };
    QRegion region;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            if (before.tiles.at(x, y) == after.tiles.at(x, y)) {
                continue;
            }
            const auto box = cellBox(x, y, after.tileW, after.tileH);
            if (!box || !fits(*box)) {
                return std::nullopt;
            }
            region += around(*box);
        }
    }
    if (before.pointerWall != after.pointerWall) {
        for (const auto& wall : {before.pointerWall, after.pointerWall}) {
            if (wall) {
                if (!fits(*wall)) {
                    return std::nullopt;
                }
                region += around(*wall);
            }
        }
    }
    return region;
}

}  // namespace kestro
