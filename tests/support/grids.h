#pragma once
// Grids the tests build again and again.

#include "game/tiles.h"

namespace kestro::test {

// An empty grid inside a frame of walls on the outer rows and columns: the part every level
// starts from, laid cell by cell here so that it does not lean on the level builder.
inline Tiles borderWalls() {
    Tiles t;
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kCols; ++x) {
            if (x == 0 || x == kCols - 1 || y == 0 || y == kRows - 1) {
                t.set(x, y, tileWall);
            }
        }
    }
    return t;
}

}  // namespace kestro::test
