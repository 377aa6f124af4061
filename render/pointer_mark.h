#pragma once
// Where the pointer's wall lies on the playfield, so that a palette can mark it apart from the
// other walls.

#include <cstdint>
#include <optional>

#include "game/game_state.h"

namespace kestro {

// A box of pixels: left..right-1 by top..bottom-1, as the renderer's rectangles cover them.
struct PixelBox {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The pixels of cell x, y at the coordinates the scene gives it (cells tileW by tileH pixels), as
// the renderer draws its corners; nothing when they lie beyond 32-bit pixel coordinates.
std::optional<PixelBox> cellBox(int x, int y, float tileW, float tileH);

// The pixels of the cell cursorX/cursorY names while that cell holds the pointer's wall, at the
// coordinates the scene gives the cell; nothing when there is no pointer wall or its cell lies
// beyond 32-bit pixel coordinates.
std::optional<PixelBox> pointerWallBox(const GameState& s);

}  // namespace kestro
