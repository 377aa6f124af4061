// Game > Demo in the window: the computer completes a level through the pointer wall, the
// player's pointer waits meanwhile, Esc, P and a click hand the game back, and no run it played
// goes into the high-score table.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "game/tiles.h"
#include "records/files.h"
#include "records/places.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

using test::qtApp;

// Answers nothing: no name may be asked while these tests run.
class NoRecords final : public RecordsPrompt {
  public:
    std::optional<std::string> askName(const std::string&) override {
        ADD_FAILURE() << "a name was asked";
        return std::nullopt;
    }
    void showTable(const records::Table&, std::optional<std::size_t>) override {
        ADD_FAILURE() << "the table was shown";
    }
};

class DemoWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    void session(fMain& window, const std::function<void()>& play) {
        window.setRecordsPrompt(records);
        int presented = 0;
        window.setFramePresented([&](const QImage&) {
            if (++presented == 2) {
                play();
                window.close();
            }
        });
        QTimer::singleShot(60000, &window, [&] { window.close(); });
        window.Form_Load();
        window.setFramePresented(nullptr);
    }

    // A pointer move over the playfield onto cell (x, y), as the player's pointer makes it.
    static void pointAt(fMain& window, int x, int y) { test::movePointerToCell(window, x, y); }

    test::TempConfig config;
    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    test::ManualTime time;
    NoRecords records;
};

TEST_F(DemoWindow, TheComputerCompletesALevelAndItsRunIsNotRecorded) {
    fMain window(trap, prompt, time);
    session(window, [&] {
        const auto& c = window.controls();
        window.controls().mnuDemo.trigger();
        EXPECT_TRUE(window.demoPlaying());
        EXPECT_TRUE(c.mnuDemo.isChecked());
        EXPECT_EQ(c.cPaused.checkState(), Qt::Unchecked) << "the demo clears Pause";
        EXPECT_TRUE(c.DemoNote.isVisible());
        EXPECT_EQ(c.DemoNote.text(), "Demo: press Esc to take over");

        // The player's pointer does not act while the computer plays.
        const GameState before = window.gameState();
        pointAt(window, 20, 1);
        EXPECT_NE(window.gameState().tiles.at(20, 1), tileWall);
        EXPECT_EQ(window.gameState().cursorX, before.cursorX);

        for (int i = 0; i < 120 && window.gameState().level == 1; ++i) {
            test::playFor(window, time, 1000);
        }
        EXPECT_EQ(window.gameState().level, 2) << "the demo completed level 1";
        EXPECT_GT(window.gameState().bankedScore, 0);

        // Esc hands the game back, running; New Game then ends the computer's run unrecorded.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_FALSE(window.demoPlaying());
        EXPECT_FALSE(c.mnuDemo.isChecked());
        EXPECT_FALSE(c.DemoNote.isVisible());
        EXPECT_EQ(c.cPaused.checkState(), Qt::Unchecked);
        pointAt(window, 20, 1);
        EXPECT_EQ(window.gameState().tiles.at(20, 1), tileWall) << "the pointer is the player's";
        window.controls().reset.click();
    });
    const auto table = records::readTable(*records::scoresPath());
    ASSERT_TRUE(table) << table.error();
    EXPECT_TRUE(table.value().empty());
}

TEST_F(DemoWindow, PAClickOrDemoAgainHandTheGameBack) {
    fMain window(trap, prompt, time);
    session(window, [&] {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        const std::function<void()> takeOvers[] = {
            [&] { QTest::keyClick(&window, Qt::Key_P); },
            [&] { QTest::mouseClick(&window.controls().Kestro, Qt::LeftButton); },
            [&] { window.controls().mnuDemo.trigger(); },
        };
        for (const auto& takeOver : takeOvers) {
            window.controls().mnuDemo.trigger();
            ASSERT_TRUE(window.demoPlaying());
            test::playFor(window, time, 500);
            takeOver();
            EXPECT_FALSE(window.demoPlaying());
            EXPECT_FALSE(window.controls().DemoNote.isVisible());
        }
    });
}

}  // namespace
}  // namespace kestro::shell
