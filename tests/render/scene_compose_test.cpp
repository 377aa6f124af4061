// The scene: the tile grid turned into entity texts column by column, and the window's handler
// of the render event that hands them to the renderer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <QImage>

#include "common/runtime_error.h"
#include "game/game_state.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"
#include "render_recording_surface.h"
#include "render_test_support.h"
#include "tests/support/grids.h"

namespace kestro {
namespace {

using test::entityText;
using test::RecordingSurface;
using test::ScriptedDialog;
using test::TempLog;
using ::testing::ElementsAre;

constexpr const char* kUndefined = "[ ERROR ]  There's an undefined number in renderer_render!";

GameState borderOnly(float tile = 10.0f) {
    GameState s;
    s.tileW = tile;
    s.tileH = tile;
    s.tiles = test::borderWalls();
    return s;
}

std::vector<renderEntity> parsed(const std::vector<std::string>& texts) {
    std::vector<renderEntity> out;
    for (const auto& t : texts) {
        out.push_back(textToEntity(t));
    }
    return out;
}

TEST(SceneCompose, BorderAloneGives208WallsColumnByColumn) {
    const GameState s = borderOnly();
    const auto entities = parsed(composeScene(s));
    ASSERT_EQ(entities.size(), 208u);

    std::vector<std::pair<int, int>> cells;
    for (const auto& e : entities) {
        EXPECT_EQ(e.text, "c0");
        EXPECT_EQ(e.flags, 24);
        EXPECT_EQ(e.x2, e.x1 + 10.0f);
        EXPECT_EQ(e.y2, e.y1 + 10.0f);
        cells.emplace_back(static_cast<int>(e.x1) / 10, static_cast<int>(e.y1) / 10);
    }
    std::vector<std::pair<int, int>> expected;
    for (int y = 0; y < kRows; ++y) {
        expected.emplace_back(0, y);
    }
    for (int x = 1; x < kCols - 1; ++x) {
        expected.emplace_back(x, 0);
        expected.emplace_back(x, kRows - 1);
    }
    for (int y = 0; y < kRows; ++y) {
        expected.emplace_back(kCols - 1, y);
    }
    EXPECT_EQ(cells, expected);
}

TEST(SceneCompose, EachTileHasItsColourAndShape) {
    struct Case {
        std::int16_t code;
        const char* text;
        std::int32_t flags;
    };
    const Case cases[] = {
        {tileWall, "c0", 24},     {tileBall, "c16711680", 20}, {tileBlock, "c16728128", 24},
        {tileGoal, "c65280", 20}, {tileMarker, "c255", 28},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        GameState s = borderOnly();
        s.tiles.set(35, 27, c.code);
        const auto texts = composeScene(s);
        ASSERT_EQ(texts.size(), 209u);
        // Column 35 holds its top wall, then the tile, then its bottom wall.
        const std::size_t index = 47 + 34 * 2 + 1;
        EXPECT_EQ(texts[index], entityText(350, 360, 270, 280, c.flags, c.text));
    }
}

TEST(SceneCompose, TheBallExampleAsText) {
    GameState s;
    s.tileW = 10.0f;
    s.tileH = 10.0f;
    s.tiles.set(35, 27, tileBall);
    s.tiles.set(0, 0, tileWall);
    const auto texts = composeScene(s);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "350\r\n360\r\n270\r\n280\r\n20\r\nc16711680");
}

TEST(SceneCompose, CoordinatesAreSinglePrecisionProductsAndSums) {
    GameState s;
    s.tileW = 582.0f / 59.0f;
    s.tileH = 2.5f;
    s.tiles.set(58, 46, tileWall);
    s.tiles.set(57, 46, tileWall);
    const auto e = parsed(composeScene(s));
    ASSERT_EQ(e.size(), 2u);
    const float x1 = 58.0f * s.tileW;
    EXPECT_NEAR(e[1].x1, x1, 1e-4);
    EXPECT_NEAR(e[1].x2, x1 + s.tileW, 1e-4);
    EXPECT_EQ(e[1].y1, 115.0f);
    EXPECT_EQ(e[1].y2, 117.5f);
    EXPECT_NEAR(e[0].x2, e[1].x1, 1e-4) << "neighbouring cells meet";

    // Cell sizes where the far edge as a sum (x1 + tileW) and as a product ((x + 1) x tileW)
    // come out as different singles: the text form shows the sum.
    GameState t;
    t.tileW = static_cast<float>(500.0 / 59.0);
    t.tileH = static_cast<float>(503.0 / 47.0);
    t.tiles.set(5, 5, tileWall);
    t.tiles.set(6, 5, tileWall);
    t.tiles.set(5, 6, tileWall);
    const auto texts = composeScene(t);
    ASSERT_EQ(texts.size(), 3u);
    // The products would give x2 50.84746 and y2 64.21277.
    EXPECT_EQ(texts[0], "42.37288\r\n50.84745\r\n53.51064\r\n64.21276\r\n24\r\nc0");
    // The neighbours below and to the right (in scan order) start at their own products, a
    // single-precision rounding away from where cell (5, 5) ends.
    EXPECT_EQ(texts[1], "42.37288\r\n50.84745\r\n64.21277\r\n74.91489\r\n24\r\nc0");
    EXPECT_EQ(texts[2], "50.84746\r\n59.32203\r\n53.51064\r\n64.21276\r\n24\r\nc0");
}

TEST(SceneCompose, NonFiniteCellSizeIsAnOverflow) {
    for (const float tile :
         {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), 1e38f}) {
        SCOPED_TRACE(tile);
        GameState s = borderOnly(tile);
        try {
            composeScene(s);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), errnum::kOverflow);
        }
    }
}

TEST(SceneCompose, UnknownCodeReusesThePreviousEntityAndIsLoggedPerCellAndFrame) {
    TempLog log;
    GameState s;
    s.tileW = 10.0f;
    s.tileH = 10.0f;
    s.tiles.set(0, 4, tileWall);
    s.tiles.set(0, 5, 3);  // right after the wall in the scan order
    s.tiles.set(2, 0, tileBall);
    s.tiles.set(2, 1, -7);
    s.tiles.set(2, 2, 3);
    const auto e = parsed(composeScene(s));
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[1], (renderEntity{0, 10, 50, 60, 24, "c0"})) << "drawn as a black wall";
    EXPECT_EQ(e[3], (renderEntity{20, 30, 10, 20, 20, "c16711680"}));
    EXPECT_EQ(e[4], (renderEntity{20, 30, 20, 30, 20, "c16711680"}));
    EXPECT_EQ(log.records(), std::vector<std::string>(3, kUndefined));

    composeScene(s);
    EXPECT_EQ(log.records(), std::vector<std::string>(6, kUndefined)) << "again each frame";
}

TEST(SceneCompose, UnknownCodeFirstDrawsNothing) {
    GameState s;
    s.tileW = 10.0f;
    s.tileH = 10.0f;
    s.tiles.set(0, 0, 3);
    s.tiles.set(0, 1, 12);
    s.tiles.set(5, 5, tileWall);
    const auto e = parsed(composeScene(s));
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0], (renderEntity{0, 10, 0, 10, 0, ""}));
    EXPECT_EQ(e[1], (renderEntity{0, 10, 10, 20, 0, ""}));
    EXPECT_EQ(e[2], (renderEntity{50, 60, 50, 60, 24, "c0"}));
}

TEST(SceneCompose, UnknownCodeAfterAWallIsBlackOnThePicture) {
    GameState s = borderOnly();
    s.tiles.set(1, 1, 3);  // after the wall (1, 0)
    ImageSurface surface("Kestro", QSize(590, 470));
    surface.setBackColor(Qt::white);
    ScriptedDialog dialog;
    cRender renderer(dialog, [] {});
    renderer.renderInit(&surface);
    renderer.render = [&](std::int16_t&) { renderer.renderStop(); };
    renderer.renderEntitiesFill(composeScene(s), -1, -1);
    renderer.renderStart();
    EXPECT_EQ(surface.image().pixel(15, 15), qRgb(0, 0, 0));
    EXPECT_EQ(surface.image().pixel(25, 15), qRgb(255, 255, 255));
}

struct Handler {
    Handler() {
        renderer.renderInit(&surface);
        renderer.renderEntitiesFill({entityText(0, 0, 0, 0, 0, "c0"),
                                     entityText(291, 0, 262, 0, flagText, "Kestro Version 4.0")},
                                    -1, -1);
    }
    void handle() { renderer_render(s, renderer, yield); }

    GameState s = borderOnly();
    RecordingSurface surface;
    ScriptedDialog dialog;
    cRender renderer{dialog, [] {}};
    int yields = 0;
    std::function<void()> onYield;
    std::function<void()> yield = [this] {
        ++yields;
        if (onYield) {
            onYield();
        }
    };
};

TEST(SceneHandler, WithoutSceneReadyOnlyYields) {
    Handler h;
    h.s.sceneReady = false;
    const auto before = h.renderer.entities();
    h.handle();
    EXPECT_EQ(h.yields, 1);
    EXPECT_EQ(h.renderer.entities(), before);
}

TEST(SceneHandler, HandsTheGridAsItIsAfterTheYield) {
    Handler h;
    h.s.sceneReady = true;
    // A timer that fires during the yield puts the ball down before the grid is read.
    h.onYield = [&] { h.s.tiles.set(35, 27, tileBall); };
    h.handle();
    EXPECT_EQ(h.yields, 1);
    const auto expected = parsed(composeScene(h.s));
    ASSERT_EQ(expected.size(), 209u);
    EXPECT_EQ(h.renderer.entities(), expected);
}

TEST(SceneHandler, EmptyAndOneTileGridsDrawWhatTheyHold) {
    // After a scene of many tiles, a loaded grid of one tile, then of none: the next frame draws
    // that one tile, then nothing at all, not what the previous level left in the list.
    Handler h;
    h.s.sceneReady = true;
    h.handle();
    ASSERT_GT(h.renderer.entities().size(), 200u);

    const auto drawing = [&] {
        int n = 0;
        for (const renderEntity& e : h.renderer.entities()) {
            n += e.flags != 0 ? 1 : 0;
        }
        return n;
    };
    h.s.tiles.clear();
    h.s.tiles.set(35, 27, tileBall);
    EXPECT_NO_THROW(h.handle());
    EXPECT_EQ(drawing(), 1);
    EXPECT_EQ(h.renderer.entities().front(), parsed(composeScene(h.s)).front());

    h.s.tiles.clear();
    EXPECT_NO_THROW(h.handle());
    EXPECT_EQ(drawing(), 0);
}

}  // namespace
}  // namespace kestro
