// A frame limited to what changed: on a picture drawn whole before, clearing and drawing only the
// region the scene change names leaves exactly the picture a whole frame draws, in each palette,
// with the pointer's wall marked, through many random changes of the grid; and what the change
// names whole (another cell size, image or palette, a code without a colour) is drawn whole.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QRegion>
#include <QSize>

#include "game/game_state.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render/palette.h"
#include "render/pointer_mark.h"
#include "render/qt/changed_region.h"
#include "render/qt/image_surface.h"
#include "render/qt/scene_change.h"
#include "render/scene.h"
#include "render_qt_app.h"
#include "render_test_support.h"
#include "tests/support/levels.h"

namespace kestro {
namespace {

const QColor kBackground(200, 200, 200);

// One frame of the state's scene onto the surface, through the renderer: clear, draw, refresh.
void drawFrame(ImageSurface& surface, const GameState& s) {
    test::ScriptedDialog dialog;
    ASSERT_TRUE(drawSceneOnce(s, surface, dialog, [] {}));
}

ImageSurface surfaceFor(const GameState& s, PaletteId palette, QSize size, double ratio) {
    ImageSurface surface("Kestro", size);
    surface.setDevicePixelRatio(ratio);
    surface.setBackColor(kBackground);
    surface.setPalette(palette);
    surface.setPointerWall([&s] { return pointerWallBox(s); });
    return surface;
}

// The whole frame of the state, drawn on a surface of its own.
QImage wholeFrame(const GameState& s, PaletteId palette, QSize size, double ratio) {
    ImageSurface surface = surfaceFor(s, palette, size, ratio);
    drawFrame(surface, s);
    return surface.image().copy();
}

DrawnScene sceneOf(const GameState& s, const ImageSurface& surface) {
    return DrawnScene{s.tiles,
                      s.tileW,
                      s.tileH,
                      s.sceneReady,
                      surface.image().size(),
                      surface.devicePixelRatio(),
                      surface.palette(),
                      pointerWallBox(s)};
}

// A few cells change as play changes them: the ball steps on, a block or goal appears or goes,
// the pointer's wall moves to another cell, or onto the border's wall.
void playStep(GameState& s, std::mt19937& random) {
    std::uniform_int_distribution<int> col(1, kCols - 2);
    std::uniform_int_distribution<int> row(1, kRows - 2);
    const std::int16_t codes[] = {tileEmpty, tileBall, tileBlock, tileGoal, tileMarker, tileWall};
    std::uniform_int_distribution<int> code(0, static_cast<int>(std::size(codes)) - 1);
    std::uniform_int_distribution<int> count(0, 4);
    for (int n = count(random); n > 0; --n) {
        const int x = col(random);
        s.tiles.set(x, row(random), codes[code(random)]);
    }
    if (random() % 3 == 0) {
        if (s.cursorX != 0 && s.tiles.at(s.cursorX, s.cursorY) == tileWall) {
            s.tiles.set(s.cursorX, s.cursorY, tileEmpty);
        }
        s.cursorX = static_cast<std::int16_t>(col(random));
        s.cursorY = static_cast<std::int16_t>(row(random));
        s.tiles.set(s.cursorX, s.cursorY, tileWall);
    } else if (random() % 3 == 0) {
        // Onto the border's wall: no tile changes, but the pointer's wall is marked elsewhere.
        if (s.cursorX != 0 && s.cursorX != kCols - 1 &&
            s.tiles.at(s.cursorX, s.cursorY) == tileWall) {
            s.tiles.set(s.cursorX, s.cursorY, tileEmpty);
        }
        s.cursorX = kCols - 1;
        s.cursorY = static_cast<std::int16_t>(row(random));
    }
}

TEST(PartialFrame, DrawingOnlyTheChangeLeavesTheWholeFrame) {
    test::ensureGuiApplication();
    for (const PaletteId palette : allPalettes()) {
        for (const auto& [seed, ratio] : {std::pair{1u, 1.0}, std::pair{7u, 1.5}}) {
            const QSize size(static_cast<int>(582 * ratio), static_cast<int>(525 * ratio));
            test::LaidLevel level(20, seed);
            GameState& s = level.state;
            // The window's cells in the image's pixels: neither whole nor a short fraction.
            s.tileW = static_cast<float>(9.864 * ratio);
            s.tileH = static_cast<float>(11.17 * ratio);
            s.sceneReady = true;
            ImageSurface surface = surfaceFor(s, palette, size, ratio);
            drawFrame(surface, s);
            std::mt19937 random(static_cast<std::uint32_t>(seed));
            for (int frame = 0; frame < 60; ++frame) {
                const DrawnScene before = sceneOf(s, surface);
                const QImage shown = surface.image().copy();
                playStep(s, random);
                const std::optional<QRegion> change = sceneChange(before, sceneOf(s, surface));
                ASSERT_TRUE(change) << "frame " << frame;
                const QImage whole = wholeFrame(s, palette, size, ratio);
                // Every pixel that differs lies in the change.
                EXPECT_TRUE(changedRegion(shown, whole).subtracted(*change).isEmpty())
                    << paletteName(palette) << " seed " << seed << " frame " << frame;
                surface.setDrawClip(*change);
                drawFrame(surface, s);
                EXPECT_FALSE(surface.drawClip()) << "the frame's refresh ends its region";
                ASSERT_TRUE(surface.image() == whole)
                    << paletteName(palette) << " seed " << seed << " frame " << frame;
            }
        }
    }
}

// Pixels outside the region keep what they hold, whatever the frame draws there (text is drawn
// larger at higher pixel ratios); a frame's colours and text position are set as without a
// region.
void checkNothingOutsideTheRegionIsTouched(double ratio) {
    ImageSurface surface("Kestro", QSize(60, 40));
    surface.setBackColor(kBackground);
    surface.setDevicePixelRatio(ratio);
    surface.cls();
    const QImage before = surface.image().copy();
    const QRect inside(10, 5, 20, 10);
    surface.setDrawClip(QRegion(inside));
    surface.setForeColor(255);
    surface.setFillColor(255);
    surface.setFillStyle(0);
    surface.rectangle(0, 0, 60, 40);
    surface.ellipse(0, 0, 60, 40);
    surface.moveTo(0, 0);
    surface.lineTo(59, 39);
    surface.setCurrentX(0.0f);
    surface.setCurrentY(0.0f);
    surface.print("WWWWWWWWWWWW");
    EXPECT_EQ(surface.foreColor(), 255);
    EXPECT_EQ(surface.currentX(), 0.0f);
    EXPECT_GT(surface.currentY(), 0.0f);
    const QRegion changed = changedRegion(before, surface.image());
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(changed.subtracted(QRegion(inside)).isEmpty());
    // Clearing inside the region clears only there.
    surface.cls();
    EXPECT_TRUE(surface.image() == before);
    surface.setDrawClip(std::nullopt);
    surface.rectangle(0, 0, 60, 40);
    EXPECT_EQ(changedRegion(before, surface.image()), QRegion(QRect(0, 0, 60, 40)));
}

TEST(PartialFrame, NothingOutsideTheRegionIsTouched) {
    test::ensureGuiApplication();
    for (const double ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        checkNothingOutsideTheRegionIsTouched(ratio);
    }
}

TEST(PartialFrame, WhatChangesTheWholePictureIsNamedWhole) {
    test::LaidLevel level(5, 3);
    GameState& s = level.state;
    s.tileW = 9.864f;
    s.tileH = 11.17f;
    s.sceneReady = true;
    const DrawnScene base{
        s.tiles, s.tileW, s.tileH, true, QSize(582, 525), 1.0, PaletteId::Classic, std::nullopt};
    struct Case {
        const char* name;
        void (*change)(DrawnScene&);
    };
    const Case cases[] = {
        {"cell width", [](DrawnScene& d) { d.tileW += 0.5f; }},
        {"cell height", [](DrawnScene& d) { d.tileH -= 0.5f; }},
        {"image size", [](DrawnScene& d) { d.imageSize = QSize(600, 525); }},
        {"pixel ratio", [](DrawnScene& d) { d.ratio = 2.0; }},
        {"palette", [](DrawnScene& d) { d.palette = PaletteId::HighContrast; }},
        {"scene hidden", [](DrawnScene& d) { d.sceneReady = false; }},
        {"a code without a colour", [](DrawnScene& d) { d.tiles.set(30, 20, 9); }},
    };
    for (const Case& c : cases) {
        DrawnScene after = base;
        c.change(after);
        EXPECT_FALSE(sceneChange(base, after)) << c.name;
        EXPECT_FALSE(sceneChange(after, base)) << c.name;
    }
    // Cells beyond 32-bit pixels cannot be named: all of it.
    DrawnScene huge = base;
    huge.tileW = 3e9f;
    DrawnScene hugeChanged = huge;
    hugeChanged.tiles.set(30, 20, hugeChanged.tiles.at(30, 20) == tileGoal ? tileEmpty : tileGoal);
    EXPECT_FALSE(sceneChange(huge, hugeChanged));
    // Nothing changed: nothing to draw. One cell: its box and a pixel round it.
    EXPECT_EQ(sceneChange(base, base), QRegion());
    DrawnScene one = base;
    one.tiles.set(30, 20, one.tiles.at(30, 20) == tileGoal ? tileEmpty : tileGoal);
    const PixelBox cell = *cellBox(30, 20, s.tileW, s.tileH);
    EXPECT_EQ(sceneChange(base, one),
              QRegion(QRect(QPoint(cell.left - 1, cell.top - 1), QPoint(cell.right, cell.bottom))));
    // The pointer's wall moving over walls already there changes no tile, but both its cells.
    DrawnScene moved = base;
    moved.pointerWall = cellBox(0, 3, s.tileW, s.tileH);
    DrawnScene movedOn = moved;
    movedOn.pointerWall = cellBox(0, 4, s.tileW, s.tileH);
    const std::optional<QRegion> pointer = sceneChange(moved, movedOn);
    ASSERT_TRUE(pointer);
    for (const PixelBox& b : {*moved.pointerWall, *movedOn.pointerWall}) {
        EXPECT_TRUE(
            pointer->contains(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1))));
    }
}

}  // namespace
}  // namespace kestro
