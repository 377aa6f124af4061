#pragma once
// A tile grid described by a fuzzer's bytes: a base (empty or walled, bare or with a box filled
// from a seed) and then single cells set to any code.
//
//   u8 base       bit 0 border walls; bits 1-2 fill: 0 none, 1 sparse, 2 dense, 3 dense with
//                 any 16-bit codes
//   4 x u8, u32   only when there is a fill: the filled box's left column and top row, its
//                 width and height (each mod the grid's), and the seed
//   u8 n          n cell edits of: u16 cell number (mod 2,773), code (see tileCode)

#include <array>
#include <cstdint>

#include "fuzz/byte_reader.h"
#include "game/tiles.h"

namespace kestro::fuzz {

inline constexpr std::array<std::int16_t, 6> kKnownCodes = {tileEmpty, tileWall, tileBall,
                                                            tileBlock, tileGoal, tileMarker};

// One byte names a known code; from 0xF0 up a 16-bit code of any value follows.
inline std::int16_t tileCode(ByteReader& in) {
    const std::uint8_t pick = in.u8();
    if (pick >= 0xF0) {
        return in.i16();
    }
    return kKnownCodes[pick % kKnownCodes.size()];
}

inline void setBorder(Tiles& tiles) {
    for (int x = 0; x < kCols; ++x) {
        tiles.set(x, 0, tileWall);
        tiles.set(x, kRows - 1, tileWall);
    }
    for (int y = 0; y < kRows; ++y) {
        tiles.set(0, y, tileWall);
        tiles.set(kCols - 1, y, tileWall);
    }
}

inline Tiles gridFromBytes(ByteReader& in) {
    Tiles tiles;
    const std::uint8_t base = in.u8();
    const int fill = (base >> 1) & 3;
    if (fill != 0) {
        const int left = in.u8() % kCols;
        const int top = in.u8() % kRows;
        const int width = 1 + in.u8() % kCols;
        const int height = 1 + in.u8() % kRows;
        std::uint32_t r = in.u32() | 1;  // xorshift32 never leaves a non-zero state
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                r ^= r << 13;
                r ^= r >> 17;
                r ^= r << 5;
                if (fill == 1 && r % 16 != 0) {
                    continue;
                }
                tiles.set(x, y,
                          fill == 3 && r % 7 == 0 ? static_cast<std::int16_t>(r >> 16)
                                                  : kKnownCodes[(r >> 8) % kKnownCodes.size()]);
            }
        }
    }
    if ((base & 1) != 0) {
        setBorder(tiles);
    }
    for (int edits = in.u8(); edits > 0; --edits) {
        const int cell = in.u16() % kCells;
        tiles.set(cell % kCols, cell / kCols, tileCode(in));
    }
    return tiles;
}

}  // namespace kestro::fuzz
