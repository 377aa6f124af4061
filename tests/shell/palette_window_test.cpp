// Settings > Colours in the window: the playfield drawn in the palette chosen, the pointer's wall
// marked in high contrast, and the choice kept for the next start.

#include <gtest/gtest.h>

#include <filesystem>

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTimer>

#include "render/palette.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"
#include "tests/support/files.h"

namespace kestro::shell {
namespace {

using test::qtApp;

QRgb rgbOf(std::int32_t colour) {
    return qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

class PaletteWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    // The colour at the centre of cell (x, y) of a presented frame.
    static QRgb cellColour(const QImage& frame, const GameState& s, int x, int y) {
        return frame.pixel(static_cast<int>((static_cast<float>(x) + 0.5f) * s.tileW),
                           static_cast<int>((static_cast<float>(y) + 0.5f) * s.tileH));
    }

    // Runs the window until its `frames`-th frame, calling `at(n, frame)` for each.
    void session(fMain& window, int frames, const std::function<void(int, const QImage&)>& at) {
        int presented = 0;
        window.setFramePresented([&](const QImage& image) {
            ++presented;
            at(presented, image);
            if (presented == frames) {
                window.close();
            }
        });
        QTimer::singleShot(30000, &window, [&] { window.close(); });
        window.Form_Load();
        window.setFramePresented(nullptr);
    }

    test::TempConfig config;
    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
};

TEST_F(PaletteWindow, HighContrastDrawsTheSameSceneInItsColoursAndIsKept) {
    const QRgb hcWall = rgbOf(paletteColour(PaletteId::HighContrast, colourOf(0, 0, 0)));
    const QRgb hcBackground = rgbOf(*paletteBackground(PaletteId::HighContrast));
    const QRgb hcPointer = rgbOf(*palettePointerWall(PaletteId::HighContrast));
    {
        fMain window(trap, prompt);
        EXPECT_TRUE(window.controls().mnuClassic.isChecked()) << "Classic by default";
        QImage classic;
        QImage contrast;
        session(window, 4, [&](int n, const QImage& frame) {
            const GameState& s = window.gameState();
            if (n == 2) {
                classic = frame.copy();
                // Chosen from the menu as a player would, between two frames.
                QTimer::singleShot(0, &window,
                                   [&] { window.controls().mnuHighContrast.trigger(); });
            } else if (n == 3) {
                contrast = frame.copy();
                // The pointer's wall on an empty cell of row 1 (never scattered on).
                test::movePointerToCell(window, 10, 1);
            } else if (n == 4) {
                EXPECT_EQ(cellColour(frame, s, s.cursorX, s.cursorY), hcPointer);
                EXPECT_EQ(cellColour(frame, s, 0, 1), hcWall) << "other walls stay white";
            }
        });
        ASSERT_FALSE(contrast.isNull());
        const GameState& s = window.gameState();
        EXPECT_NE(cellColour(classic, s, 0, 0), hcWall);
        EXPECT_EQ(cellColour(contrast, s, 0, 0), hcWall) << "the frame after the choice";
        EXPECT_EQ(cellColour(contrast, s, 10, 1), hcBackground);
        EXPECT_TRUE(window.controls().mnuHighContrast.isChecked());
        EXPECT_FALSE(window.controls().mnuClassic.isChecked());
    }
    // The next start draws in high contrast from its first level on.
    fMain again(trap, prompt);
    EXPECT_TRUE(again.controls().mnuHighContrast.isChecked());
    session(again, 2, [&](int n, const QImage& frame) {
        if (n == 2) {
            EXPECT_EQ(cellColour(frame, again.gameState(), 0, 0), hcWall);
        }
    });
}

TEST_F(PaletteWindow, AKeptNameNoPaletteHasIsClassic) {
    std::filesystem::create_directories(config.file().parent_path());
    kestro::test::writeFile(config.file(), "[View]\nColours=purple\n");
    fMain window(trap, prompt);
    EXPECT_TRUE(window.controls().mnuClassic.isChecked());
}

}  // namespace
}  // namespace kestro::shell
