// Frames of the renderer on the QImage surface: what the player sees of colours, fills and text.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QRect>

#include "render/crender.h"
#include "render/entity.h"
#include "render/qt/image_surface.h"
#include "render_qt_app.h"
#include "render_test_support.h"

namespace kestro {
namespace {

using test::entityText;
using test::ScriptedDialog;

const QColor kBackground(200, 200, 200);
const QRgb kBlack = qRgb(0, 0, 0);

class FramePixels : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    FramePixels() {
        surface.setBackColor(kBackground);
        EXPECT_TRUE(renderer.renderInit(&surface));
    }

    // Hands over the list and draws frames: after each frame the next list of `more` is handed
    // over; the loop stops after the last.
    void frames(const std::vector<std::string>& first,
                const std::vector<std::vector<std::string>>& more = {}) {
        std::size_t next = 0;
        renderer.render = [&](std::int16_t&) {
            if (next < more.size()) {
                renderer.renderEntitiesFill(more[next++], -1, -1);
            } else {
                renderer.renderStop();
            }
        };
        renderer.renderEntitiesFill(first, -1, -1);
        renderer.renderStart();
    }

    QRgb at(int x, int y) const { return surface.image().pixel(x, y); }

    int count(QRect region, QRgb colour) const {
        int n = 0;
        for (int y = region.top(); y <= region.bottom(); ++y) {
            for (int x = region.left(); x <= region.right(); ++x) {
                n += at(x, y) == colour;
            }
        }
        return n;
    }

    ImageSurface surface{"Kestro", QSize(200, 120)};
    ScriptedDialog dialog;
    cRender renderer{dialog, [] {}};
};

TEST_F(FramePixels, SolidFlagFillsBlackWithoutItOnlyOutlines) {
    frames({entityText(10, 20, 10, 20, flagRectangle | flagSolid, "c0"),
            entityText(30, 40, 10, 20, flagRectangle, "c0")});
    EXPECT_EQ(count(QRect(10, 10, 10, 10), kBlack), 100);
    EXPECT_EQ(count(QRect(30, 10, 10, 10), kBlack), 36) << "the 1-pixel outline of 10 x 10";
    EXPECT_EQ(at(35, 15), kBackground.rgb());
    EXPECT_EQ(at(20, 15), kBackground.rgb());
    EXPECT_EQ(at(40, 15), kBackground.rgb());
}

TEST_F(FramePixels, TextTakesTheColourOfTheEntityBeforeIt) {
    frames({entityText(0, 0, 0, 0, 0, "c255"), entityText(10, 0, 10, 0, flagText, "Hello"),
            entityText(100, 0, 10, 0, flagText, "c16711680")});
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    EXPECT_GT(count(QRect(10, 10, 60, 20), red), 10);
    EXPECT_EQ(count(QRect(10, 10, 60, 20), blue), 0);
    // A colour text with the text flag both sets the colour and is printed.
    EXPECT_GT(count(QRect(100, 10, 100, 20), blue), 10);
    EXPECT_EQ(count(QRect(0, 0, 200, 120), qRgb(0, 0, 0)), 0);
}

TEST_F(FramePixels, ColourAndFillLastAcrossEntitiesAndFrames) {
    const QRgb red = qRgb(255, 0, 0);
    // Frame 1 sets red and solid without drawing, then a box without a colour of its own.
    // Frame 2's list carries no colour at all; the box is still red and filled.
    frames(
        {entityText(0, 0, 0, 0, flagSolid, "c255"), entityText(10, 20, 10, 20, flagRectangle, "")},
        {{entityText(50, 60, 50, 60, flagRectangle, ""), entityText(0, 0, 0, 0, 0, "")}});
    EXPECT_EQ(count(QRect(50, 50, 10, 10), red), 100);
    EXPECT_EQ(at(15, 15), kBackground.rgb()) << "frame 1 was cleared before frame 2";
    EXPECT_EQ(count(QRect(0, 0, 200, 120), red), 100);
}

TEST_F(FramePixels, ClearedSlotsDrawNothingButStillSetTheirColour) {
    const std::vector<std::string> three = {
        entityText(0, 10, 0, 10, flagRectangle | flagSolid, "c0"),
        entityText(20, 30, 0, 10, flagRectangle | flagSolid, "c0"),
        entityText(40, 50, 0, 10, flagRectangle | flagSolid, "c255")};
    const std::vector<std::string> two = {
        entityText(0, 10, 20, 30, flagRectangle, ""),
        entityText(20, 30, 20, 30, flagRectangle | flagSolid, "c65280")};
    // Slot 2 is cleared by the first refill; in every later walk it still turns the colour red
    // after the green box, and, its flags being 0 now, the fill style transparent: the box
    // without a colour of its own comes out as a red outline.
    frames(three, {two, two});
    EXPECT_EQ(count(QRect(40, 0, 10, 10), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(count(QRect(0, 20, 10, 10), qRgb(255, 0, 0)), 36);
    EXPECT_EQ(count(QRect(1, 21, 8, 8), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(count(QRect(20, 20, 10, 10), qRgb(0, 255, 0)), 100);
}

TEST_F(FramePixels, StartUpBannerAtTheCentre) {
    frames({entityText(0, 0, 0, 0, 0, "c0"),
            entityText(100, 0, 60, 0, flagText, "Kestro Version 4.0")});
    EXPECT_GT(count(QRect(100, 60, 100, 20), kBlack), 20);
    EXPECT_EQ(count(QRect(0, 0, 200, 60), kBlack), 0);
    EXPECT_EQ(count(QRect(0, 0, 99, 120), kBlack), 0);
}

}  // namespace
}  // namespace kestro
