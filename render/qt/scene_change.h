#pragma once
// Which pixels of the playfield's picture can differ between two scenes, so that a frame need
// clear and draw again only those: the cells whose tiles changed and the pointer's wall where it
// moved. Anything else that changed (the cell size, the image, the palette, whether the scene is
// shown) changes the whole picture, and so does a grid holding a code without a colour of its
// own, which is drawn in the style of the tile composed before it.

#include <optional>

#include <QRegion>
#include <QSize>

#include "game/tiles.h"
#include "render/palette.h"
#include "render/pointer_mark.h"

namespace kestro {

// What a picture of the playfield was drawn from.
struct DrawnScene {
    Tiles tiles;
    float tileW = 0.0f;
    float tileH = 0.0f;
    bool sceneReady = false;
    QSize imageSize;
    double ratio = 1.0;
    PaletteId palette = PaletteId::Classic;
    std::optional<PixelBox> pointerWall;
};

// The region, in the image's pixels, outside which the pictures of `before` and `after` are
// alike; nothing when they may differ anywhere.
std::optional<QRegion> sceneChange(const DrawnScene& before, const DrawnScene& after);

}  // namespace kestro
