// Frames are drawn only when they change the picture: after each kind of change (a ball tick, a
// pointer move, Apply, a load, a resize) the next presented image equals the scene drawn afresh
// by a renderer of its own, and a paused game presents nothing new until something changes.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTimer>

#include "game/ball.h"
#include "game/level.h"
#include "game/random.h"
#include "game/tiles.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"
#include "savegame/game_file.h"
#include "savegame/slider_values.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"
#include "tests/support/levels.h"
#include "tests/support/result.h"
#include "tests/support/temp_dir.h"

namespace kestro::shell {
namespace {

using test::qtApp;

// The window's scene drawn in one frame by a fresh renderer on an image like the playfield's.
QImage drawnAfresh(fMain& window) {
    const ImageSurface& playfield = window.controls().Kestro.surface();
    ImageSurface surface("Kestro", playfield.image().size());
    surface.setBackColor(playfield.backColor());
    surface.setFont(playfield.font());
    test::ScriptedTrap trap;
    drawSceneOnce(window.gameState(), surface, trap, [] {});
    return surface.image().copy();
}

class ShellFrames : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    kestro::test::TempDir dir{"kestro-frames"};
};

TEST_F(ShellFrames, EachChangeIsDrawnAsAFreshFrameAndNothingElseIs) {
    // A saved level-9 game for the load.
    const std::string saved = (dir / "level9.egf").string();
    {
        kestro::test::LaidLevel level(9, 9);
        ASSERT_FALSE(kestro::test::reasonOf(savegame::saveGameFile(
            saved, level.state, savegame::readSliderValues(level.sliders.view()), 9)));
    }
    test::ScriptedFileDialog dialog;
    dialog.answers = {saved};

    fMain window(trap, prompt);
    window.setFileDialog(dialog);
    const std::vector<std::pair<std::string, std::function<void()>>> changes = {
        {"ball tick", [&] { Ball_Timer(window.gameState()); }},
        {"pointer move", [&] { test::movePointerToCell(window, 10, 12); }},
        {"Apply", [&] { window.controls().apply.click(); }},
        {"load", [&] { window.controls().mnuOpen.trigger(); }},
        {"resize", [&] { window.resize(window.width() + 40, window.height() + 30); }},
    };
    std::size_t next = 0;
    int presented = 0;
    int presentedWhileIdle = -1;
    window.setFramePresented([&](const QImage& image) {
        ++presented;
        if (presented < 2) {
            return;  // the start-up banner
        }
        if (presented > 2) {
            ASSERT_LE(next, changes.size());
            EXPECT_TRUE(image == drawnAfresh(window)) << "after the " << changes[next - 1].first;
        }
        if (next < changes.size()) {
            changes[next++].second();
            return;
        }
        // Every change drawn: half a second without one presents nothing.
        const int seen = presented;
        QTimer::singleShot(500, &window, [&, seen] {
            presentedWhileIdle = presented - seen;
            window.close();
        });
    });
    QTimer::singleShot(30000, &window, [&] { window.close(); });
    window.Form_Load();
    EXPECT_EQ(next, changes.size());
    EXPECT_EQ(presented, 2 + static_cast<int>(changes.size())) << "one frame per change";
    EXPECT_EQ(presentedWhileIdle, 0);
    EXPECT_EQ(window.gameState().level, 9) << "the load took place";
}

// The pixel box of the cells whose tiles differ between two grids, a pixel wider on each side
// for the rounding of the cells' edges.
QRegion changedCells(const Tiles& before, const Tiles& after, float tileW, float tileH) {
    QRegion cells;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            if (before.at(x, y) != after.at(x, y)) {
                const int left = static_cast<int>(std::floor(static_cast<double>(x) * tileW)) - 1;
                const int top = static_cast<int>(std::floor(static_cast<double>(y) * tileH)) - 1;
                const int right =
                    static_cast<int>(std::ceil(static_cast<double>(x + 1) * tileW)) + 1;
                const int bottom =
                    static_cast<int>(std::ceil(static_cast<double>(y + 1) * tileH)) + 1;
                cells += QRect(left, top, right - left, bottom - top);
            }
        }
    }
    return cells;
}

TEST_F(ShellFrames, EachFrameCopiesToTheScreenOnlyWhatChanged) {
    fMain window(trap, prompt);
    struct Change {
        std::string name;
        std::function<void()> make;
        bool whole;  // the whole picture is new
    };
    const std::vector<Change> changes = {
        {"ball tick", [&] { Ball_Timer(window.gameState()); }, false},
        {"another ball tick", [&] { Ball_Timer(window.gameState()); }, false},
        {"pointer move", [&] { test::movePointerToCell(window, 10, 12); }, false},
        {"Apply", [&] { window.controls().apply.click(); }, false},
        {"resize", [&] { window.resize(window.width() + 40, window.height() + 30); }, true},
    };
    PictureBox& box = window.controls().Kestro;
    std::size_t next = 0;
    int presented = 0;
    Tiles before;
    window.setFramePresented([&](const QImage& image) {
        ++presented;
        if (presented < 2) {
            return;  // the start-up banner
        }
        if (presented > 2) {
            ASSERT_LE(next, changes.size());
            const Change& change = changes[next - 1];
            EXPECT_TRUE(box.shown() == drawnAfresh(window))
                << "on screen after the " << change.name;
            EXPECT_TRUE(box.shown() == image) << change.name;
            const QRegion region = box.lastPresented();
            EXPECT_FALSE(region.isEmpty()) << change.name;
            if (change.whole) {
                EXPECT_EQ(region, QRegion(image.rect())) << change.name;
            } else {
                const GameState& s = window.gameState();
                const QRegion cells = changedCells(before, s.tiles, s.tileW, s.tileH);
                EXPECT_TRUE(region.subtracted(cells).isEmpty())
                    << "the " << change.name << " presented more than its cells";
                EXPECT_LT(region.boundingRect().width() * region.boundingRect().height(),
                          image.width() * image.height())
                    << change.name;
            }
            // Presenting the same picture again copies nothing.
            EXPECT_TRUE(box.present().isEmpty()) << change.name;
        }
        if (next < changes.size()) {
            before = window.gameState().tiles;
            changes[next++].make();
            return;
        }
        window.close();
    });
    QTimer::singleShot(30000, &window, [&] { window.close(); });
    window.Form_Load();
    EXPECT_EQ(next, changes.size());
}

TEST_F(ShellFrames, APausedGamePresentsNothingNewAndARunningOneOnlyWhenTheBallMoves) {
    fMain window(trap, prompt);
    int presented = 0;
    std::int64_t ballTicks = 0;
    int framesWhilePaused = -1;
    int framesWhileRunning = -1;
    window.setFramePresented([&](const QImage&) { ++presented; });
    QTimer::singleShot(300, &window, [&] {
        const int paused = presented;
        QTimer::singleShot(700, &window, [&, paused] {
            framesWhilePaused = presented - paused;
            window.controls().cPaused.setCheckState(Qt::Unchecked);
            const int running = presented;
            const std::int64_t ticks = window.game().ticks()[0];
            QTimer::singleShot(1500, &window, [&, running, ticks] {
                framesWhileRunning = presented - running;
                ballTicks = window.game().ticks()[0] - ticks;
                window.close();
            });
        });
    });
    window.Form_Load();
    EXPECT_EQ(framesWhilePaused, 0);
    // Each ball step moves the ball: a frame each, and none between them (the accel, level and
    // score ticks change nothing on the playfield).
    EXPECT_GT(ballTicks, 0);
    EXPECT_GE(framesWhileRunning, 1);
    EXPECT_LE(framesWhileRunning, ballTicks + 1);
}

}  // namespace
}  // namespace kestro::shell
