// Ball ticks on any grid and any ball: damaged or missing borders, balls on the border, several
// ball cells, unknown codes, and any 16-bit ball and previous cells. Besides crashes and
// accesses outside the grid it checks what one tick may change:
// - a tick that overflows (error 6) leaves the game exactly as it was;
// - at most four cells change: the ball's old and new cells and a pushed block's two;
// - when the ball came from a neighbouring cell (as in every real game), only cells within two
//   cells of its old cell change and it moves at most one cell;
// - otherwise only cells on the columns and rows the rules look at (the ball's, its neighbours',
//   one and two steps ahead, the previous cell's) change;
// - a ball and previous cell inside the grid give a new ball cell inside the grid, which then
//   holds the ball.
//
// Input: the grid (fuzz/grid_bytes.h), then
//   u8 how       bit 0: ball cell as two i16, else two u8 within the grid; bit 1: previous cell
//                as two i16, else the ball cell plus one step of -2..2 per axis from one u8
//   25 codes     the 5 x 5 cells around the ball, row by row
//   u8 ticks     1 + ticks % 8 ticks in a row

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "common/runtime_error.h"
#include "fuzz/byte_reader.h"
#include "fuzz/grid_bytes.h"
#include "game/ball.h"
#include "game/game_state.h"

namespace {

using kestro::GameState;
using kestro::fuzz::ByteReader;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool oneOf(int v, std::initializer_list<int> allowed) {
    for (const int a : allowed) {
        if (v == a) {
            return true;
        }
    }
    return false;
}

GameState stateFromBytes(ByteReader& in) {
    GameState s;
    s.tiles = kestro::fuzz::gridFromBytes(in);
    const std::uint8_t how = in.u8();
    if ((how & 1) != 0) {
        s.ballX = in.i16();
        s.ballY = in.i16();
    } else {
        s.ballX = static_cast<std::int16_t>(in.u8() % kestro::kCols);
        s.ballY = static_cast<std::int16_t>(in.u8() % kestro::kRows);
    }
    if ((how & 2) != 0) {
        s.lastX = in.i16();
        s.lastY = in.i16();
    } else {
        const std::uint8_t step = in.u8();
        s.lastX = static_cast<std::int16_t>(s.ballX + (step % 5) - 2);
        s.lastY = static_cast<std::int16_t>(s.ballY + (step / 5 % 5) - 2);
    }
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            s.tiles.set(s.ballX + dx, s.ballY + dy, kestro::fuzz::tileCode(in));
        }
    }
    return s;
}

void checkTick(const GameState& before, const GameState& after) {
    const int bx = before.ballX;
    const int by = before.ballY;
    const int sx = bx - before.lastX;
    const int sy = by - before.lastY;
    const bool fromNeighbour = std::abs(sx) <= 1 && std::abs(sy) <= 1;

    int changed = 0;
    for (int y = 0; y < kestro::kRows; ++y) {
        // Whole rows first: nearly all of them are unchanged.
        const std::size_t row = static_cast<std::size_t>(y) * kestro::kCols;
        if (std::memcmp(&before.tiles.cells()[row], &after.tiles.cells()[row],
                        kestro::kCols * sizeof(std::int16_t)) == 0) {
            continue;
        }
        for (int x = 0; x < kestro::kCols; ++x) {
            if (before.tiles.at(x, y) == after.tiles.at(x, y)) {
                continue;
            }
            ++changed;
            if (fromNeighbour) {
                require(std::abs(x - bx) <= 2 && std::abs(y - by) <= 2);
            } else {
                require(oneOf(x, {bx - 1, bx, bx + 1, bx + sx, bx + 2 * sx, before.lastX}));
                require(oneOf(y, {by - 1, by, by + 1, by + sy, by + 2 * sy, before.lastY}));
            }
        }
    }
    require(changed <= 4);

    if (fromNeighbour) {
        require(std::abs(after.ballX - bx) <= 1 && std::abs(after.ballY - by) <= 1);
    }
    if (kestro::insideGrid(bx, by) && kestro::insideGrid(before.lastX, before.lastY)) {
        require(kestro::insideGrid(after.ballX, after.ballY));
    }
    if (kestro::insideGrid(after.ballX, after.ballY)) {
        require(after.tiles.at(after.ballX, after.ballY) == kestro::tileBall);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in({data, size});
    GameState s = stateFromBytes(in);
    const int ticks = 1 + in.u8() % 8;
    for (int i = 0; i < ticks; ++i) {
        const GameState before = s;
        try {
            kestro::Ball_Timer(s);
        } catch (const kestro::RuntimeError& e) {
            require(e.number() == kestro::errnum::kOverflow);
            require(s == before);
            return 0;
        }
        checkTick(before, s);
    }
    return 0;
}
