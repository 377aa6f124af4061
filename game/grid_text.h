#pragma once
// The tile grid as text: one character per cell, a line per row.

#include <cstdint>
#include <string>

#include "game/tiles.h"

namespace kestro {

// '.' empty, '#' wall, 'o' ball, 'B' block, 'G' goal, 'm' marker, '?' any other code.
char tileChar(std::int16_t code);

// The grid as 47 lines of 59 characters, each ended by '\n'.
std::string gridText(const Tiles& tiles);

}  // namespace kestro
