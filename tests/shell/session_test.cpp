// The game from start-up to shut-down in one process: the log of a whole run, the first frames,
// pausing, and the ways the program can end.

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include <filesystem>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QImage>
#include <QTimer>

#include "diag/log.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

using test::qtApp;
using test::runSession;

class ShellSession : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
};

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

TEST_F(ShellSession, StartUpRunsTheGamePausedAndCloseShutsItDown) {
    fMain window(trap, prompt);
    bool checked = false;
    // A paused game draws the banner, then the level, and then nothing new until it changes.
    runSession(window, 2, [&] {
        checked = true;
        const GameState& s = window.gameState();
        EXPECT_TRUE(window.isVisible());
        ASSERT_NE(window.renderer(), nullptr);
        EXPECT_TRUE(window.renderer()->running());
        EXPECT_TRUE(s.sceneReady);
        // Paused: the check box is checked and takes clicks; no game timer runs.
        EXPECT_EQ(window.controls().cPaused.checkState(), Qt::Checked);
        EXPECT_TRUE(window.controls().cPaused.isEnabled());
        EXPECT_FALSE(window.game().timers().enabled());
        EXPECT_FALSE(window.clockTimer().isActive());
        EXPECT_FALSE(window.controls().DispUpdate.isActive());
        // The first level is built from the sliders, which wrote the three labels.
        EXPECT_EQ(s.tiles.at(35, 27), tileBall);
        EXPECT_EQ(s.tiles.at(2, 2), tileGoal);
        EXPECT_EQ(s.score, 60);
        EXPECT_EQ(window.controls().Label1.text(), "Level: 1");
        EXPECT_EQ(window.controls().Label2.text(), "Acceleration: 5");
        EXPECT_EQ(window.controls().Label3.text(), "Top Speed: 300");
        // The cell size follows the playfield as laid out.
        EXPECT_EQ(s.tileW, static_cast<float>(window.controls().Kestro.width() / 59.0));
        EXPECT_EQ(s.tileH, static_cast<float>(window.controls().Kestro.height() / 47.0));
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(window.renderer(), nullptr);
    EXPECT_FALSE(window.gameState().sceneReady);
    EXPECT_FALSE(errorLogOpen());
    EXPECT_EQ(errorLogPath(), log.path().string());
    EXPECT_EQ(trap.asked, 0);

    const std::vector<std::string> records = log.records();
    const std::vector<std::string> expected = {
        "[  INFO ]  {Error Subsystem} Log file " + log.path().string() + " opened @ 071226:220509",
        "[ DEBUG ]  {Error Subsystem} --Program Information--",
        "[ DEBUG ]                    EXE Image: ",
        "[ DEBUG ]                    Instance: ",
        "[ DEBUG ]                    Version: 4.0.0",
        "[ DEBUG ]  {cRender} Class_Initalize()",
        "[ DEBUG ]  {cRender} renderInit(Kestro)",
        "[ DEBUG ]  {cRender} renderStart()",
        "[ DEBUG ]  {cRender} renderStop()",
        "[ DEBUG ]  {cRender} renderDeinit()",
        "[ DEBUG ]  {cRender} Class_Terminate()",
        "[  INFO ]  {Error Subsystem} Log file closed @ 071226:220509",
    };
    ASSERT_EQ(records.size(), expected.size()) << ::testing::PrintToString(records);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(startsWith(records[i], expected[i]))
            << "record " << i << ": " << records[i] << "\nexpected: " << expected[i];
    }
}

TEST_F(ShellSession, FirstFrameShowsTheBannerAndTheNextOneTheLevel) {
    fMain window(trap, prompt);
    const test::SessionFrames s = runSession(window, 2, [] {});
    ASSERT_EQ(s.frames.size(), 2u);
    const QRgb background = window.controls().Kestro.surface().backColor().rgb();

    // Frame 1: only the banner, printed in black from the playfield's centre on.
    const QImage& first = s.frames[0];
    const int cx = first.width() / 2;
    const int cy = first.height() / 2;
    int inked = 0;
    QRect ink;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            if (first.pixel(x, y) != background) {
                EXPECT_EQ(first.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
                ink |= QRect(x, y, 1, 1);
                ++inked;
            }
        }
    }
    ASSERT_GT(inked, 50) << "the banner is printed";
    EXPECT_GE(ink.left(), cx - 1);
    EXPECT_GE(ink.top(), cy - 1);
    EXPECT_LE(ink.left(), cx + 3);
    EXPECT_LE(ink.top(), cy + 6);
    EXPECT_GT(ink.width(), 60) << "\"Kestro Version 4.0\" is a long line of text";
    EXPECT_LT(ink.height(), 20) << "and a single one";

    // Frame 2: the scene of the first level replaced the start-up list.
    const QImage& second = s.frames[1];
    const GameState& g = window.gameState();
    const auto centre = [&](int col, int row) {
        return second.pixel(static_cast<int>((static_cast<float>(col) + 0.5f) * g.tileW),
                            static_cast<int>((static_cast<float>(row) + 0.5f) * g.tileH));
    };
    EXPECT_EQ(centre(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(centre(58, 46), qRgb(0, 0, 0));
    EXPECT_EQ(centre(35, 27), qRgb(0, 0, 255));
    EXPECT_EQ(centre(56, 44), qRgb(0, 255, 0));
}

TEST_F(ShellSession, UnpausingRunsTheGameTimersAndTheBallMoves) {
    fMain window(trap, prompt);
    int startX = -1;
    int startY = -1;
    bool moved = false;
    window.setFramePresented([&](const QImage&) {
        const GameState& g = window.gameState();
        if (startX < 0) {
            startX = g.ballX;
            startY = g.ballY;
            window.controls().cPaused.setCheckState(Qt::Unchecked);
            EXPECT_TRUE(window.game().timers().enabled());
            EXPECT_TRUE(window.clockTimer().isActive());
            EXPECT_FALSE(window.controls().DispUpdate.isActive());
            return;
        }
        if (!moved && (g.ballX != startX || g.ballY != startY)) {
            moved = true;
            EXPECT_EQ(g.tiles.at(g.ballX, g.ballY), tileBall);
            window.close();
        }
    });
    QTimer::singleShot(10000, &window, [&] { window.close(); });
    window.Form_Load();
    EXPECT_TRUE(moved) << "the ball timer moved the ball within 10 s";
}

TEST_F(ShellSession, SecondCloseWhileShuttingDownIsIgnored) {
    fMain window(trap, prompt);
    runSession(window, 2, [&] {
        // Delivered inside the shut-down's own yield.
        QTimer::singleShot(0, &window, [&] { window.close(); });
    });
    int stops = 0;
    int terminates = 0;
    for (const std::string& r : log.records()) {
        stops += r == "[ DEBUG ]  {cRender} renderStop()" ? 1 : 0;
        terminates += r == "[ DEBUG ]  {cRender} Class_Terminate()" ? 1 : 0;
    }
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(terminates, 1);
}

TEST_F(ShellSession, NoTimerFiresAfterTheCloseHasBeenHandled) {
    fMain window(trap, prompt);
    // Watches every chance the window's events get: the game's tick counts when the close has
    // cleared sceneReady are the last ones.
    bool running = false;
    std::optional<std::array<std::int64_t, kTimerCount>> ticksAtClose;
    int dumpsAfterClose = 0;
    QTimer watch;
    watch.callOnTimeout([&] {
        if (running && !window.gameState().sceneReady && !ticksAtClose) {
            ticksAtClose = window.game().ticks();
        }
    });
    QObject::connect(&window.controls().DispUpdate, &QTimer::timeout,
                     [&] { dumpsAfterClose += running && !window.gameState().sceneReady ? 1 : 0; });
    watch.start(0);
    runSession(window, 2, [&] {
        // The game runs with the ball at the shortest period and the tile dump due at every
        // chance, so anything still running fires in the yields the frame loop passes through on
        // its way out.
        running = true;
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        window.gameState().ballInterval = 1;
        window.gameState().minInterval = 1;
        window.controls().DispUpdate.start(0);
    });
    ASSERT_TRUE(ticksAtClose);
    EXPECT_EQ(window.game().ticks(), *ticksAtClose);
    EXPECT_EQ(dumpsAfterClose, 0);
    EXPECT_FALSE(window.game().timers().enabled());
    EXPECT_FALSE(window.clockTimer().isActive());
    EXPECT_FALSE(window.controls().DispUpdate.isActive());
}

TEST_F(ShellSession, CloseDuringStartUpEndsBeforeTheGameStarts) {
    fMain window(trap, prompt);
    // Delivered in start-up's first yield, before the log is opened.
    QTimer::singleShot(0, &window, [&] { window.close(); });
    window.Form_Load();
    EXPECT_EQ(window.renderer(), nullptr);
    EXPECT_FALSE(errorLogOpen());
    EXPECT_FALSE(std::filesystem::exists(log.path()));
    EXPECT_EQ(window.gameState().tiles, Tiles{}) << "no level was built";
}

TEST_F(ShellSession, QuitEndsAtOnceAndTheLogLacksItsClosingLine) {
    // The game runs in a forked copy of this process, which writes its log into this test's
    // folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            fMain window(trap, prompt);
            runSession(window, 2, [&] { window.controls().mnuQuit.trigger(); });
            std::exit(3);  // not reached: Quit ends the process with status 0
        },
        ::testing::ExitedWithCode(0), "");
    const std::vector<std::string> records = log.records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back(), "[ DEBUG ]  {cRender} renderStart()")
        << "the renderer is neither stopped nor released and the log is not closed";
}

}  // namespace
}  // namespace kestro::shell
