// The game played in the window: the pointer wall in the presented frame, the sliders' labels,
// Apply and Reset, and a level completion under a message that stays open like a real one.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTimer>

#include "game/ball.h"
#include "game/game_clock.h"
#include "game/level.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

using test::qtApp;
using test::runSession;

// Answers each message only after it has stayed open for a while of the window's time, running
// the window's events meanwhile as a modal message box does.
class SlowPrompt final : public MessagePrompt {
  public:
    SlowPrompt(test::ManualTime& time, Millis openMs) : time_(time), openMs_(openMs) {}
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        time_.advance(openMs_);
        QCoreApplication::processEvents();
    }
    std::vector<std::string> messages;

  private:
    test::ManualTime& time_;
    Millis openMs_;
};

class ShellGamePlay : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
};

// Moves the pointer over the playfield to the position that maps to cell (x, y).
void movePointerTo(fMain& window, int x, int y) {
    test::movePointerToCell(window, x, y);
}

QRgb cellCentre(const QImage& image, const GameState& s, int x, int y) {
    return image.pixel(static_cast<int>((static_cast<float>(x) + 0.5f) * s.tileW),
                       static_cast<int>((static_cast<float>(y) + 0.5f) * s.tileH));
}

TEST_F(ShellGamePlay, ThePointerWallAppearsInThePresentedFrame) {
    fMain window(trap, prompt);
    std::vector<QImage> frames;
    int presented = 0;
    window.setFramePresented([&](const QImage& image) {
        ++presented;
        if (presented == 2) {
            frames.push_back(image.copy());
            movePointerTo(window, 10, 12);  // the game is paused: the pointer works all the same
            EXPECT_EQ(window.gameState().tiles.at(10, 12), tileWall);
            EXPECT_EQ(window.gameState().cursorX, 10);
            EXPECT_EQ(window.gameState().cursorY, 12);
        } else if (presented == 3) {
            frames.push_back(image.copy());
            movePointerTo(window, 20, 12);
        } else if (presented == 4) {
            frames.push_back(image.copy());
            window.close();
        }
    });
    QTimer::singleShot(30000, &window, [&] { window.close(); });
    window.Form_Load();
    ASSERT_EQ(frames.size(), 3u);
    const GameState& s = window.gameState();
    const QRgb wall = cellCentre(frames[0], s, 0, 12);
    const QRgb empty = cellCentre(frames[0], s, 10, 12);
    EXPECT_NE(wall, empty);
    EXPECT_EQ(cellCentre(frames[1], s, 10, 12), wall);
    EXPECT_EQ(cellCentre(frames[2], s, 10, 12), empty) << "the old wall is lifted";
    EXPECT_EQ(cellCentre(frames[2], s, 20, 12), wall);
}

// Work left for after start-up (the icon's lookup) waits until the banner and the first level are
// on the screen, and runs once: when the window first waits for events, or, while frames keep
// coming, after the second frame.
TEST_F(ShellGamePlay, WorkAfterStartUpRunsOnceWhenTheFirstLevelIsOnScreen) {
    struct Case {
        const char* name;
        bool running;  // frames keep coming
    };
    for (const Case c :
         {Case{"paused, the loop waits", false}, Case{"running at top speed", true}}) {
        test::ManualTime time;
        fMain window(trap, prompt, time);
        std::vector<int> framesSeenByIt;
        int presented = 0;
        window.setAfterStartUp([&] { framesSeenByIt.push_back(presented); });
        window.setFramePresented([&](const QImage&) {
            ++presented;
            if (c.running) {
                // Every frame moves the ball: the loop never waits.
                Ball_Timer(window.gameState());
                time.advance(16);
            }
            if (presented == 4) {
                window.close();
            }
        });
        if (!c.running) {
            // Nothing changes after the first level: the loop waits, and a close ends it.
            QTimer::singleShot(500, &window, [&] { window.close(); });
        }
        QTimer::singleShot(30000, &window, [&] { window.close(); });
        window.Form_Load();
        EXPECT_EQ(framesSeenByIt, std::vector<int>{2}) << c.name;
    }
}

TEST_F(ShellGamePlay, DraggingASliderChangesOnlyItsLabel) {
    fMain window(trap, prompt);
    runSession(window, 2, [&] {
        const GameState before = window.gameState();
        window.controls().SLvl.setSliderDown(true);
        window.controls().SLvl.setSliderPosition(40);
        EXPECT_EQ(window.controls().Label1.text(), "Level: 40");
        window.controls().SLvl.setSliderDown(false);
        window.controls().SSpeed.setValue(-1);
        EXPECT_EQ(window.controls().Label3.text(), "Top Speed: -1");
        EXPECT_EQ(window.gameState(), before) << "the game waits for Apply or Reset";
    });
}

TEST_F(ShellGamePlay, ApplyKeepsTheBankedScoreAndResetDropsIt) {
    fMain window(trap, prompt);
    runSession(window, 2, [&] {
        GameState& s = window.gameState();
        s.bankedScore = 40;
        s.tiles.set(20, 20, tileBlock);
        window.controls().apply.click();
        // (1 + 300 + 2 x 5) / 5 rounds to 62, on top of the banked 40.
        EXPECT_EQ(s.score, 62 + 40);
        EXPECT_EQ(s.bankedScore, 40);
        EXPECT_EQ(s.tiles.at(20, 20), tileEmpty);
        EXPECT_TRUE(window.game().paused()) << "neither button touches the pause";

        window.controls().reset.click();
        EXPECT_EQ(s.score, 62);
        EXPECT_EQ(s.bankedScore, 0);
        EXPECT_EQ(window.cPausedValue(), 1);
    });
}

TEST_F(ShellGamePlay, ALevelCompletionShowsOneMessageAndAdvancesTheLevelOnce) {
    test::ManualTime time;
    SlowPrompt slow(time, 800);
    fMain window(trap, slow, time);
    int presented = 0;
    int levelAtEnd = -1;
    window.setFramePresented([&](const QImage&) {
        ++presented;
        if (presented == 2) {
            window.sliders().SLvl.setValue(80);
            window.controls().apply.click();
            GameState& s = window.gameState();
            for (const Cell& g : kGoalCells) {
                s.tiles.set(g.x, g.y, tileEmpty);
            }
            window.controls().cPaused.setCheckState(Qt::Unchecked);
            // Well after the message has closed, the game goes on at level 0.
            test::playFor(window, time, 2000);
            levelAtEnd = window.gameState().level;
            window.close();
        }
    });
    QTimer::singleShot(30000, &window, [&] { window.close(); });
    window.Form_Load();
    EXPECT_EQ(slow.messages, std::vector<std::string>{kCongratulationsMessage});
    EXPECT_EQ(levelAtEnd, 0);
    EXPECT_EQ(window.sliders().SLvl.value(), 0);
    EXPECT_EQ(window.controls().Label1.text(), "Level: 0");
}

TEST_F(ShellGamePlay, TheRunningGameAcceleratesAndCountsTheScoreDown) {
    test::ManualTime time;
    fMain window(trap, prompt, time);
    runSession(window, 2, [&] {
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        test::playFor(window, time, 1300);
        const GameState& s = window.gameState();
        EXPECT_LT(s.ballInterval, 390);
        EXPECT_LT(s.score, 60);
        EXPECT_EQ(window.game().timers().period(TimerId::Ball), s.ballInterval);
        EXPECT_GT(window.game().ticks()[static_cast<std::size_t>(TimerId::Ball)], 0);
    });
}

// Once the ball is faster than a frame, the frame loop advances the clock itself after each
// frame's wait: with the clock's own timer silenced, every presented frame still finds the game
// advanced to the time of the frame before it, every ball tick due by then played.
TEST_F(ShellGamePlay, AtTopSpeedEachFrameAdvancesTheClockWithoutItsTimer) {
    test::ManualTime time;
    fMain window(trap, prompt, time);
    constexpr int kFirst = 2;
    constexpr int kLast = 12;
    int presented = 0;
    Millis previousFrameAt = 0;
    std::int64_t previousBallTicks = 0;
    std::optional<QSignalBlocker> silenced;
    window.setFramePresented([&](const QImage&) {
        ++presented;
        const auto ballTicks = window.game().ticks()[static_cast<std::size_t>(TimerId::Ball)];
        if (presented == kFirst) {
            window.sliders().SSpeed.setValue(500);
            window.sliders().SAccel.setValue(20);
            window.controls().apply.click();
            window.controls().cPaused.setCheckState(Qt::Unchecked);
            // A level that ends on the way starts slow again: play on until the ball is fast.
            for (Millis played = 0;
                 played < 60000 && window.game().timers().period(TimerId::Ball) > 1; played += 16) {
                test::playFor(window, time, 16);
            }
            ASSERT_EQ(window.game().timers().period(TimerId::Ball), 1);
            // The test only ever calls it through const access; silencing it changes no state.
            silenced.emplace(const_cast<QTimer*>(&window.clockTimer()));
        } else if (presented > kFirst) {
            EXPECT_EQ(window.game().timers().now(), previousFrameAt) << "frame " << presented;
            EXPECT_GT(ballTicks, previousBallTicks) << "frame " << presented;
        }
        if (presented == kLast) {
            silenced.reset();
            window.close();
            return;
        }
        previousBallTicks = ballTicks;
        time.advance(16);
        previousFrameAt = time.now();
    });
    QTimer::singleShot(30000, &window, [&] { window.close(); });
    window.Form_Load();
    EXPECT_EQ(presented, kLast);
}

}  // namespace
}  // namespace kestro::shell
