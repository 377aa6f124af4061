// Where the pointer's wall is drawn: the cell cursorX/cursorY names, while it holds a wall, at
// the pixels the renderer gives that cell.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "game/game_state.h"
#include "render/pointer_mark.h"

namespace kestro {
namespace {

TEST(PointerWallBox, TheCursorCellWhileItHoldsAWall) {
    struct Case {
        const char* name;
        std::int16_t cursorX, cursorY;
        std::int16_t tile;
        float tileW, tileH;
        std::optional<PixelBox> box;
    };
    const Case cases[] = {
        {"whole pixels", 3, 4, tileWall, 10.0f, 10.0f, PixelBox{30, 40, 40, 50}},
        // 582/59 by 525/47: the edges 19.72881 and 29.59322, 33.51064 and 44.68085 rounded.
        {"the window's cells", 2, 3, tileWall, static_cast<float>(582.0 / 59),
         static_cast<float>(525.0 / 47), PixelBox{20, 34, 30, 45}},
        {"halves go to the even pixel", 1, 1, tileWall, 2.5f, 1.5f, PixelBox{2, 2, 5, 3}},
        {"no pointer wall", 0, 0, tileWall, 10.0f, 10.0f, std::nullopt},
        {"no column", 0, 5, tileWall, 10.0f, 10.0f, std::nullopt},
        {"the cell holds a block", 3, 4, tileBlock, 10.0f, 10.0f, std::nullopt},
        {"the cell is empty", 3, 4, tileEmpty, 10.0f, 10.0f, std::nullopt},
        {"a cursor beyond the grid", 70, 4, tileWall, 10.0f, 10.0f, std::nullopt},
        {"beyond 32-bit pixels", 30, 4, tileWall, 1e9f, 10.0f, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GameState s;
        s.tiles.set(c.cursorX, c.cursorY, c.tile);
        s.cursorX = c.cursorX;
        s.cursorY = c.cursorY;
        s.tileW = c.tileW;
        s.tileH = c.tileH;
        EXPECT_EQ(pointerWallBox(s), c.box);
    }
}

}  // namespace
}  // namespace kestro
