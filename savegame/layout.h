#pragma once
// The saved-game file: a fixed-size little-endian record. Behind the tag and the two grid
// dimensions every number is hidden by XOR: the key field with keyMask, every other field with
// the file's key K and some fields also with the field before them.
//
//   offset     size    stored value
//   0          8       "EGF1.0BR"
//   8          2       58 (last column), 16-bit
//   10         2       46 (last row), 16-bit
//   12         4       K ^ keyMask
//   16         11,092  2,773 tile records, column outer, row inner: code ^ y ^ x ^ K
//   11108      64      cursorX, cursorY, scanX, scanY, lastX, lastY, nextX, nextY, ballX,
//                      ballY, minInterval, ballInterval, accelStep, scatterCount, bankedScore,
//                      score; each ^ K, the second of a pair (cursorY, scanY, lastY, nextY,
//                      ballY) also ^ the first, score also ^ bankedScore
//   11172      12      SSpeed ^ K, SAccel ^ SSpeed ^ K, SLvl ^ SSpeed ^ K
//
// Every field after the dimensions is a signed 32-bit value; 16-bit variables are widened with
// their sign before they are combined.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/tiles.h"

namespace kestro::savegame {

inline constexpr std::size_t kFileSize = 11184;
inline constexpr std::string_view kTag = "EGF1.0BR";
inline constexpr std::int16_t kLastColumn = kCols - 1;  // 58
inline constexpr std::int16_t kLastRow = kRows - 1;     // 46
inline constexpr std::int32_t keyMask = 0x2B4D;

inline constexpr std::size_t kDimensionsOffset = 8;
inline constexpr std::size_t kKeyOffset = 12;
inline constexpr std::size_t kTilesOffset = 16;
inline constexpr std::size_t kVariablesOffset = kTilesOffset + 4 * kCells;  // 11108
inline constexpr std::size_t kVariableCount = 16;
inline constexpr std::size_t kSlidersOffset = kVariablesOffset + 4 * kVariableCount;  // 11172
static_assert(kSlidersOffset + 3 * 4 == kFileSize);

// Record n holds the cell in column n div 47, row n mod 47.
inline constexpr std::size_t tileRecord(int x, int y) {
    return static_cast<std::size_t>(x) * kRows + static_cast<std::size_t>(y);
}
inline constexpr std::size_t tileOffset(int x, int y) {
    return kTilesOffset + 4 * tileRecord(x, y);
}

// The bytes of one saved game.
using SaveBytes = std::array<std::uint8_t, kFileSize>;

}  // namespace kestro::savegame
