#pragma once
// The pointer wall: one wall tile that follows the pointer over the playfield.

#include <optional>

#include "game/game_state.h"

namespace kestro {

// The cell a pointer position maps to: the one holding the point half a cell to the left of and
// above the pointer, |nearest(X / tileW) - 1| by |nearest(Y / tileH) - 1|, the division done on
// floats and halves going to the even neighbour. Nothing when the position maps outside the grid
// or cannot be mapped at all (a cell size of zero, NaN or infinite positions).
std::optional<Cell> pointerCell(float x, float y, float tileW, float tileH);

// A pointer movement to (x, y) in playfield pixels, with or without buttons held: lifts the
// previous pointer wall whatever its cell holds now, then puts a wall into the cell under the
// pointer if that cell is empty. A position outside the grid only lifts the old wall.
void Kestro_MouseMove(GameState& s, float x, float y);

}  // namespace kestro
