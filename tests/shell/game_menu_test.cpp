// The Game and Settings menus: New Game and Restart Level do what Reset and Apply do, the Pause
// item and its keys stay in step with the "Pause" box, the hint over a paused playfield, and
// leaving the window pauses the game.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMenuBar>
#include <QTest>

#include "game/level.h"
#include "shell/fmain.h"
#include "shell/leaving.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

using test::qtApp;
using test::runSession;

class GameMenu : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    // Makes the window the active one, so that its keys reach its menu items.
    void activate(fMain& w) {
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    bool paused(const fMain& w) const { return w.controls().cPaused.checkState() == Qt::Checked; }

    test::TempLog log;
    test::TempConfig config;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    test::ManualTime time;  // no game tick happens unless a test plays
};

TEST_F(GameMenu, TheItemsTheirKeysAndTheirPlaces) {
    fMain window(trap, prompt, time);
    const auto& c = window.controls();
    struct Case {
        const QAction* item;
        const char* text;
        QList<QKeySequence> keys;
        bool checkable;
    };
    const Case cases[] = {
        {&c.mnuNew, "&New Game", {QKeySequence(Qt::CTRL | Qt::Key_N)}, false},
        {&c.mnuRestart, "&Restart Level", {QKeySequence(Qt::Key_F5)}, false},
        {&c.mnuPause, "&Pause", {QKeySequence(Qt::Key_P), QKeySequence(Qt::Key_Pause)}, true},
        {&c.mnuPauseWhenLeft, "Pause When the Window Is &Left", {}, true},
        {&c.mnuHighScores, "High &Scores", {QKeySequence(Qt::CTRL | Qt::Key_H)}, false},
        {&c.mnuResume, "&Resume Last Game", {}, false},
        {&c.mnuDemo, "&Demo", {}, true},
        {&c.mnuPlaySounds, "Play &Sounds", {}, true},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(k.item->text(), k.text);
        for (const QKeySequence& key : k.keys) {
            EXPECT_TRUE(k.item->shortcuts().contains(key)) << k.text;
        }
        EXPECT_EQ(k.item->isCheckable(), k.checkable) << k.text;
    }
    QList<const QAction*> game;
    for (const QAction* a : c.Game.actions()) {
        if (!a->isSeparator()) {
            game.append(a);
        }
    }
    EXPECT_EQ(game, (QList<const QAction*>{&c.mnuNew, &c.mnuRestart, &c.mnuPause, &c.mnuDemo,
                                           &c.mnuHighScores}));
    ASSERT_EQ(c.Settings.actions().size(), 3);
    EXPECT_EQ(c.Settings.actions()[0], &c.mnuPauseWhenLeft);
    EXPECT_EQ(c.Settings.actions()[1], &c.mnuPlaySounds);
    EXPECT_EQ(c.Settings.actions()[2], c.Colours.menuAction());
    // Before start-up the game items wait, as the buttons and the box do; the item shows the box.
    for (const QAction* item : {&c.mnuNew, &c.mnuRestart, &c.mnuPause}) {
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    }
    EXPECT_TRUE(c.mnuPause.isChecked());
    EXPECT_TRUE(c.mnuPauseWhenLeft.isChecked()) << "on unless the player turned it off";
}

TEST_F(GameMenu, PlaySoundsTurnsTheSoundsAndIsKeptForTheNextStart) {
    {
        fMain window(trap, prompt, time);
        EXPECT_TRUE(window.controls().mnuPlaySounds.isChecked()) << "on at first";
        EXPECT_TRUE(window.soundsOn());
        window.controls().mnuPlaySounds.trigger();
        EXPECT_FALSE(window.soundsOn()) << "off: no player, no device";
    }
    fMain again(trap, prompt, time);
    EXPECT_FALSE(again.controls().mnuPlaySounds.isChecked());
    EXPECT_FALSE(again.soundsOn()) << "a start with sounds off opens nothing";
    again.controls().mnuPlaySounds.trigger();
    EXPECT_TRUE(again.soundsOn());
}

TEST_F(GameMenu, PAndThePauseKeyAndTheBoxKeepBoxItemAndGameInStep) {
    fMain window(trap, prompt, time);
    // Once start-up's frames are on the screen (the hint comes with them).
    window.setAfterStartUp([&] {
        activate(window);
        const auto& c = window.controls();
        // Each way of toggling, twice: the box, the item, the game and the hint agree each time.
        const std::function<void()> toggles[] = {
            [&] { QTest::keyClick(&window, Qt::Key_P); },
            [&] { QTest::keyClick(&window, Qt::Key_Pause); },
            [&] { window.controls().cPaused.click(); },
            [&] { window.controls().mnuPause.trigger(); },
        };
        bool expectPaused = true;
        for (const auto& toggle : toggles) {
            for (int twice = 0; twice < 2; ++twice) {
                toggle();
                expectPaused = !expectPaused;
                EXPECT_EQ(paused(window), expectPaused);
                EXPECT_EQ(c.mnuPause.isChecked(), expectPaused);
                EXPECT_EQ(window.game().paused(), expectPaused);
                EXPECT_EQ(c.PauseHint.isVisible(), expectPaused);
            }
        }
        window.close();
    });
    QTimer::singleShot(30000, &window, [&] {
        ADD_FAILURE() << "start-up did not end within 30 s";
        window.close();
    });
    window.Form_Load();
}

TEST_F(GameMenu, NewGameAndRestartLevelBuildTheLevelsResetAndApplyBuild) {
    struct Case {
        const char* what;
        QKeySequence key;
        const char* button;  // the button's name
    };
    const Case cases[] = {
        {"Ctrl+N", QKeySequence(Qt::CTRL | Qt::Key_N), "reset"},
        {"F5", QKeySequence(Qt::Key_F5), "apply"},
    };
    // The same seed, the same played level: a twin window with the button and one with the key.
    const auto playThen = [&](const std::function<void(fMain&)>& act) {
        fMain window(trap, prompt, time);
        window.setSeed(77);
        GameState after;
        runSession(window, 2, [&] {
            GameState& s = window.gameState();
            s.bankedScore = 40;
            s.tiles.set(20, 20, tileBlock);
            act(window);
            after = s;
        });
        return after;
    };
    for (const Case& k : cases) {
        const GameState byButton = playThen(
            [&](fMain& w) { w.findChild<QPushButton*>(QString::fromLatin1(k.button))->click(); });
        const GameState byKey = playThen([&](fMain& w) {
            activate(w);
            QTest::keySequence(&w, k.key);
        });
        EXPECT_EQ(byKey, byButton) << k.what;
        EXPECT_EQ(byKey.tiles.at(20, 20), tileEmpty) << k.what << " built a new level";
    }
}

TEST_F(GameMenu, TheHintLiesOverThePausedFieldAndIsNeverPartOfItsImage) {
    // Frame 2 is the first level's scene. Twin windows show it, one paused under the hint (which
    // comes once start-up's frames are on the screen), the other running (on a clock that does
    // not move, so the scene stays the same).
    const auto secondFrame = [&](bool clearPause, bool& hintShown) {
        fMain window(trap, prompt, time);
        window.setSeed(5);
        QImage second;
        int presented = 0;
        window.setFramePresented([&](const QImage& image) {
            ++presented;
            if (presented == 1 && clearPause) {
                window.controls().cPaused.click();
            } else if (presented == 2) {
                second = image.copy();
            }
        });
        window.setAfterStartUp([&] {
            hintShown = window.controls().PauseHint.isVisible();
            window.close();
        });
        window.Form_Load();
        if (!clearPause) {
            EXPECT_EQ(window.controls().PauseHint.text(), kPauseHintText);
        }
        return second;
    };
    bool shownPaused = false;
    bool shownRunning = true;
    const QImage paused = secondFrame(false, shownPaused);
    const QImage running = secondFrame(true, shownRunning);
    EXPECT_TRUE(shownPaused);
    EXPECT_FALSE(shownRunning);
    ASSERT_FALSE(paused.isNull());
    EXPECT_EQ(paused, running);
}

TEST(LeavingTheWindow, PausesWhenMinimizedOrLeftForAnotherApplication) {
    struct Case {
        WindowChange change;
        PauseState pause;
        bool pauses;
    };
    const PauseState running{true, true, false};
    const Case cases[] = {
        {{.minimized = true}, running, true},
        {{.deactivated = true}, running, true},
        {{.deactivated = true, .ownWindowActive = true}, running, false},  // the game's dialog
        {{}, running, false},                                              // became active
        {{.minimized = true}, {false, true, false}, false},                // preference off
        {{.deactivated = true}, {false, true, false}, false},
        {{.minimized = true}, {true, false, false}, false},  // start-up not done
        {{.minimized = true}, {true, true, true}, false},    // paused already: no click
    };
    for (const Case& c : cases) {
        EXPECT_EQ(leavingPauses(c.change, c.pause), c.pauses)
            << c.change.minimized << c.change.deactivated << c.change.ownWindowActive << " "
            << c.pause.pauseWhenLeft << c.pause.canPause << c.pause.paused;
    }
}

TEST_F(GameMenu, MinimizingOrTurningToAnotherApplicationPausesButTheGamesDialogsDoNot) {
    enum class Leave { Minimize, OtherApplication, OwnDialog };
    struct Case {
        Leave leave;
        bool pauseWhenLeft;
        bool pauses;
    };
    const Case cases[] = {
        {Leave::Minimize, true, true},           {Leave::OtherApplication, true, true},
        {Leave::OwnDialog, true, false},         {Leave::Minimize, false, false},
        {Leave::OtherApplication, false, false},
    };
    for (const Case& c : cases) {
        fMain window(trap, prompt, time);
        if (window.controls().mnuPauseWhenLeft.isChecked() != c.pauseWhenLeft) {
            window.controls().mnuPauseWhenLeft.trigger();
        }
        bool pausedAfter = false;
        runSession(window, 2, [&] {
            activate(window);
            window.controls().cPaused.click();  // play
            QCoreApplication::processEvents();
            ASSERT_FALSE(paused(window)) << "the window's own activation does not pause";
            QDialog dialog(&window);
            switch (c.leave) {
                case Leave::Minimize:
                    window.setWindowState(window.windowState() | Qt::WindowMinimized);
                    break;
                case Leave::OtherApplication:
                    QApplication::setActiveWindow(nullptr);
                    break;
                case Leave::OwnDialog:
                    dialog.show();
                    dialog.activateWindow();
                    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
                    break;
            }
            QCoreApplication::processEvents();
            pausedAfter = paused(window);
            EXPECT_EQ(window.game().paused(), pausedAfter);
            EXPECT_EQ(window.controls().mnuPause.isChecked(), pausedAfter);
        });
        EXPECT_EQ(pausedAfter, c.pauses) << static_cast<int>(c.leave) << " " << c.pauseWhenLeft;
    }
}

}  // namespace
}  // namespace kestro::shell
