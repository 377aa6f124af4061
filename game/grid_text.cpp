#include "game/grid_text.h"

namespace kestro {

char tileChar(std::int16_t code) {
    switch (code) {
        case tileEmpty:
            return '.';
        case tileWall:
            return '#';
        case tileBall:
            return 'o';
        case tileBlock:
            return 'B';
        case tileGoal:
            return 'G';
        case tileMarker:
            return 'm';
        default:
            return '?';
    }
}

std::string gridText(const Tiles& tiles) {
    std::string out;
    out.reserve(static_cast<std::size_t>(kCols + 1) * static_cast<std::size_t>(kRows));
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kCols; ++x) {
            out += tileChar(tiles.at(x, y));
        }
        out += '\n';
    }
    return out;
}

}  // namespace kestro
