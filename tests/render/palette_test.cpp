// The palettes: their names, the colours they draw tiles in, and frames drawn in high contrast,
// which must be the classic frame with each colour replaced and the pointer's wall marked.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QSize>

#include "game/game_state.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render/palette.h"
#include "render/pointer_mark.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"
#include "render_qt_app.h"
#include "render_test_support.h"
#include "tests/support/levels.h"

namespace kestro {
namespace {

constexpr std::int16_t kTiles[] = {tileWall, tileBall, tileBlock, tileGoal, tileMarker};
const QColor kBackground(200, 200, 200);

TEST(PaletteNames, OnlyTheExactNamesAreKnown) {
    for (const PaletteId id : allPalettes()) {
        EXPECT_EQ(paletteNamed(paletteName(id)), id);
    }
    EXPECT_EQ(paletteName(PaletteId::Classic), "classic");
    EXPECT_EQ(paletteName(PaletteId::HighContrast), "high-contrast");
    for (const char* name : {"", "Classic", "high_contrast", "high-contrast ", "highcontrast"}) {
        EXPECT_EQ(paletteNamed(name), std::nullopt) << name;
    }
}

TEST(PaletteColours, ClassicKeepsEveryColour) {
    for (const std::int16_t code : kTiles) {
        EXPECT_EQ(paletteColour(PaletteId::Classic, *tileColour(code)), *tileColour(code));
    }
    for (const std::int32_t other : {1, 12345, 0xFFFFFF}) {
        EXPECT_EQ(paletteColour(PaletteId::Classic, other), other);
    }
    EXPECT_EQ(paletteBackground(PaletteId::Classic), std::nullopt);
    EXPECT_EQ(palettePointerWall(PaletteId::Classic), std::nullopt);
}

// Each tile, the background and the pointer's wall get a colour of their own; colours that are
// no tile's are drawn as they are.
TEST(PaletteColours, HighContrastGivesEachTileItsOwnColour) {
    const PaletteId hc = PaletteId::HighContrast;
    std::set<std::int32_t> drawn;
    for (const std::int16_t code : kTiles) {
        drawn.insert(paletteColour(hc, *tileColour(code)));
    }
    ASSERT_TRUE(paletteBackground(hc));
    ASSERT_TRUE(palettePointerWall(hc));
    drawn.insert(*paletteBackground(hc));
    drawn.insert(*palettePointerWall(hc));
    EXPECT_EQ(drawn.size(), std::size(kTiles) + 2);
    EXPECT_EQ(paletteColour(hc, *tileColour(tileWall)), colourOf(255, 255, 255));
    EXPECT_EQ(*paletteBackground(hc), colourOf(0, 0, 0));
    for (const std::int32_t other : {1, 12345, 0xFFFFFF}) {
        EXPECT_EQ(paletteColour(hc, other), other);
    }
}

// One frame of a list through the renderer onto a surface in a palette.
QImage frameOf(const std::vector<std::string>& texts, PaletteId palette,
               std::function<std::optional<PixelBox>()> pointerWall) {
    test::ensureGuiApplication();
    ImageSurface surface("Kestro", QSize(582, 525));
    surface.setBackColor(kBackground);
    surface.setPalette(palette);
    surface.setPointerWall(std::move(pointerWall));
    surface.cls();
    test::ScriptedDialog dialog;
    drawListOnce(texts, surface, dialog, [] {});
    return surface.image();
}

QRgb rgbOf(std::int32_t colour) {
    return ImageSurface::toRgb(colour);
}

// The classic pixel as high contrast draws it.
QRgb mapped(QRgb classic) {
    if (classic == kBackground.rgb()) {
        return rgbOf(*paletteBackground(PaletteId::HighContrast));
    }
    const std::int32_t colour = qRed(classic) + 256 * qGreen(classic) + 65536 * qBlue(classic);
    return rgbOf(paletteColour(PaletteId::HighContrast, colour));
}

GameState withPointerWall(GameState s, int x, int y) {
    s.tiles.set(x, y, tileWall);
    s.cursorX = static_cast<std::int16_t>(x);
    s.cursorY = static_cast<std::int16_t>(y);
    s.tileW = static_cast<float>(582.0 / 59);
    s.tileH = static_cast<float>(525.0 / 47);
    s.sceneReady = true;
    return s;
}

// Every pixel of the high-contrast frame is the classic frame's pixel mapped, but in the
// inside of the pointer's wall, which is drawn in the pointer colour; its 1-pixel edge stays a
// wall. Classic draws the same frame whether it is told of the pointer's wall or not.
TEST(PaletteFrames, HighContrastIsTheClassicFrameRecoloured) {
    struct Case {
        const char* name;
        GameState state;
    };
    const auto level = [](std::int32_t l, std::uint64_t seed) {
        GameState s = test::LaidLevel(l, seed).state;
        for (int x = 1; x < kCols; ++x) {
            if (s.tiles.at(x, 20) == tileEmpty) {
                return withPointerWall(s, x, 20);
            }
        }
        return withPointerWall(s, 1, 1);
    };
    const Case cases[] = {
        {"level 1", level(1, 4)},
        {"level 41", level(41, 9)},
        {"level 99", level(99, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const GameState& s = c.state;
        const auto box = pointerWallBox(s);
        ASSERT_TRUE(box);
        const auto where = [&s] { return pointerWallBox(s); };
        const std::vector<std::string> texts = composeScene(s);

        const QImage classic = frameOf(texts, PaletteId::Classic, nullptr);
        EXPECT_EQ(frameOf(texts, PaletteId::Classic, where), classic);
        const QImage hc = frameOf(texts, PaletteId::HighContrast, where);
        ASSERT_EQ(hc.size(), classic.size());

        const QRgb wall = rgbOf(paletteColour(PaletteId::HighContrast, 0));
        const QRgb mark = rgbOf(*palettePointerWall(PaletteId::HighContrast));
        int wrong = 0;
        for (int y = 0; y < classic.height(); ++y) {
            for (int x = 0; x < classic.width(); ++x) {
                const bool inBox =
                    x >= box->left && x < box->right && y >= box->top && y < box->bottom;
                const bool inside =
                    x > box->left && x < box->right - 1 && y > box->top && y < box->bottom - 1;
                QRgb want = mapped(classic.pixel(x, y));
                if (inBox) {
                    want = inside ? mark : wall;
                }
                if (hc.pixel(x, y) != want && ++wrong <= 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << hc.pixel(x, y)
                                  << ", not " << want;
                }
            }
        }
    }
}

// The start-up list: the version banner printed in the colour of the colour entity before it.
TEST(PaletteFrames, TextIsRecolouredToo) {
    renderEntity colour;
    colour.text = "c0";
    renderEntity banner;
    banner.x1 = 200;
    banner.y1 = 250;
    banner.flags = flagText;
    banner.text = "Kestro Version 4.0";
    const std::vector<std::string> texts = {entityToText(colour), entityToText(banner)};
    const QImage classic = frameOf(texts, PaletteId::Classic, nullptr);
    const QImage hc = frameOf(texts, PaletteId::HighContrast, nullptr);
    int inked = 0;
    for (int y = 0; y < classic.height(); ++y) {
        for (int x = 0; x < classic.width(); ++x) {
            ASSERT_EQ(hc.pixel(x, y), mapped(classic.pixel(x, y))) << x << "," << y;
            inked += classic.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(inked, 20);  // the banner was drawn
}

// A frame drawn before the pointer's wall reached its cell shows the cell as it was: only wall
// pixels take the mark.
TEST(PaletteFrames, TheMarkOnlyRecoloursWallPixels) {
    GameState s = withPointerWall(GameState{}, 10, 10);
    GameState before = s;
    before.tiles.set(10, 10, tileBlock);
    const std::vector<std::string> texts = composeScene(before);
    const QImage expected = frameOf(texts, PaletteId::HighContrast, nullptr);
    EXPECT_EQ(frameOf(texts, PaletteId::HighContrast, [&s] { return pointerWallBox(s); }),
              expected);
}

}  // namespace
}  // namespace kestro
