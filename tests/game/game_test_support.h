#pragma once
// Test helpers: the cells where two grids differ, for failure messages.

#include <string>

#include "game/grid_text.h"
#include "game/tiles.h"
#include "tests/support/recording_display.h"

namespace kestro::test {

// The cells where two grids differ, as "(x,y) a->b" lines.
inline std::string gridDiff(const Tiles& expected, const Tiles& actual) {
    std::string out;
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kCols; ++x) {
            if (expected.at(x, y) != actual.at(x, y)) {
                out += "(" + std::to_string(x) + "," + std::to_string(y) + ") expected " +
                       tileChar(expected.at(x, y)) + " got " + tileChar(actual.at(x, y)) + "\n";
            }
        }
    }
    return out;
}

}  // namespace kestro::test
