// The window under stress: a storm of random sizes (the playfield down to nothing), minimizing,
// the pointer far outside, Pause clicked hundreds of times, a close while a game message is open,
// and a log that loses its folder or its disk while the game runs. Nothing may fault, the cell
// size follows every layout, nothing reaches the screen from the log, and the game ends cleanly.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

#include "diag/log.h"
#include "diag/log_platform.h"
#include "game/game_clock.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmpfs.h"

namespace kestro::shell {
namespace {

using test::qtApp;
using test::runSession;

class ShellStress : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    // The cell size is the playfield's, whatever the layout made of it.
    static void expectCellSizeFollowsThePlayfield(fMain& window, const std::string& where) {
        const GameState& s = window.gameState();
        EXPECT_TRUE(std::isfinite(s.tileW) && s.tileW >= 0.0f) << where;
        EXPECT_TRUE(std::isfinite(s.tileH) && s.tileH >= 0.0f) << where;
        EXPECT_EQ(s.tileW, static_cast<float>(window.controls().Kestro.width() / 59.0)) << where;
        EXPECT_EQ(s.tileH, static_cast<float>(window.controls().Kestro.height() / 47.0)) << where;
    }

    static void movePointer(fMain& window, QPointF pos, Qt::MouseButtons buttons) {
        test::movePointer(window, pos, buttons);
    }

    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
};

TEST_F(ShellStress, AStormOfSizesMinimizingAndAPointerFarOutside) {
    fMain window(trap, prompt);
    int heightsWithoutPlayfield = 0;
    runSession(window, 2, [&] {
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        std::mt19937 rng(99);
        // Sides spread evenly over their orders of magnitude, 1 to 8000 pixels.
        std::uniform_real_distribution<double> magnitude(0.0, std::log(8000.0));
        const auto side = [&](std::mt19937& g) {
            return static_cast<int>(std::lround(std::exp(magnitude(g))));
        };
        // Client heights near 4722 pixels leave no room for the playfield at all.
        std::vector<QSize> sizes;
        for (int h = 4712; h <= 4732; ++h) {
            sizes.emplace_back(600, h);
        }
        while (sizes.size() < 1000) {
            sizes.emplace_back(side(rng), side(rng));
        }
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            window.resize(sizes[i]);
            if (i % 50 == 0) {
                window.showMinimized();
                QCoreApplication::processEvents();
                window.showNormal();
            }
            if (i % 10 == 0) {
                QCoreApplication::processEvents();
            }
            expectCellSizeFollowsThePlayfield(window, std::to_string(sizes[i].width()) + " x " +
                                                          std::to_string(sizes[i].height()));
            heightsWithoutPlayfield += window.controls().Kestro.height() <= 1 ? 1 : 0;
            const double far = 1e9 * ((i % 2 == 0) ? 1 : -1);
            movePointer(window, QPointF(far, -far), Qt::LeftButton);
            movePointer(window, QPointF(window.controls().Kestro.width() + 5.0, 3.0), Qt::NoButton);
        }
    });
    EXPECT_GT(heightsWithoutPlayfield, 0) << "the storm reached a playfield of at most a pixel";
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(log.records().back().find("[  INFO ]  {Error Subsystem} Log file closed"), 0u);
}

TEST_F(ShellStress, PauseClickedHundredsOfTimes) {
    fMain window(trap, prompt);
    runSession(window, 2, [&] {
        for (int i = 0; i < 600; ++i) {
            window.controls().cPaused.click();
            if (i % 7 == 0) {
                QCoreApplication::processEvents();
            }
            EXPECT_EQ(window.game().timers().enabled(), window.cPausedValue() == 0);
            EXPECT_EQ(window.clockTimer().isActive(), window.cPausedValue() == 0);
        }
        EXPECT_EQ(window.cPausedValue(), 1) << "an even number of clicks";
    });
    EXPECT_TRUE(prompt.messages.empty());
}

// Closes the window while the game's message box is open, as a real close from the window
// manager arrives through the box's own event loop.
class ClosingPrompt final : public MessagePrompt {
  public:
    explicit ClosingPrompt(fMain*& window) : window_(window) {}
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        QEventLoop loop;
        QTimer::singleShot(50, &loop, [this] { window_->close(); });
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
    }
    std::vector<std::string> messages;

  private:
    fMain*& window_;
};

TEST_F(ShellStress, CloseWhileAGameMessageIsOpen) {
    fMain* self = nullptr;
    ClosingPrompt closing(self);
    fMain window(trap, closing);
    self = &window;
    int presented = 0;
    window.setFramePresented([&](const QImage&) {
        if (++presented == 2) {
            // A score of 1 is lost at the first score tick, which shows the message.
            window.sliders().SLvl.setValue(0);
            window.sliders().SSpeed.setValue(5);
            window.controls().reset.click();
            window.gameState().score = 1;
            window.controls().cPaused.setCheckState(Qt::Unchecked);
        }
    });
    QTimer::singleShot(20000, &window, [&] { window.close(); });
    window.Form_Load();
    EXPECT_EQ(closing.messages, std::vector<std::string>{kLostMessage});
    EXPECT_EQ(window.renderer(), nullptr);
    EXPECT_FALSE(window.clockTimer().isActive());
    EXPECT_FALSE(errorLogOpen());
    EXPECT_EQ(log.records().back().find("[  INFO ]  {Error Subsystem} Log file closed"), 0u);
}

TEST_F(ShellStress, TheGameGoesOnWhenTheLogLosesItsFolder) {
    test::ManualTime time;
    fMain window(trap, prompt, time);
    std::int64_t ballTicks = 0;
    runSession(window, 2, [&] {
        std::filesystem::remove_all(log.path().parent_path());
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        ballTicks = test::playFor(window, time, 1200);
    });
    EXPECT_GT(ballTicks, 0);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(trap.asked, 0);
    EXPECT_FALSE(errorLogOpen());
}

TEST_F(ShellStress, TheGameGoesOnWhenTheLogsDiskIsFull) {
    // (A folder made read-only while the game runs changes nothing for the log, which is open
    // already; a file system cannot be made read-only under an open log at all.)
    test::TempLog folderLog;
    kestro::test::ScopedTmpfs disk(folderLog.path().parent_path(), "8k");
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    test::ManualTime time;
    fMain window(trap, prompt, time);
    std::size_t recordsAtFault = 0;
    std::int64_t ballTicks = 0;
    runSession(window, 2, [&] {
        recordsAtFault = folderLog.records().size();
        kestro::test::writeFile(folderLog.path().parent_path() / "filler",
                                std::string(64 * 1024, 'x'));
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        for (int i = 0; i < 500; ++i) {
            errorLogWrite("{Stress} a record that has nowhere to go", kLevelError);
        }
        ballTicks = test::playFor(window, time, 1200);
    });
    EXPECT_GT(ballTicks, 0);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(trap.asked, 0);
    EXPECT_FALSE(errorLogOpen());
    // What reached the log before the disk ran full is still there; nothing after it is.
    const auto records = folderLog.records();
    EXPECT_GE(records.size(), recordsAtFault);
    EXPECT_LT(records.size(), recordsAtFault + 500);
}

// No folder takes the log (the executable's folder, XDG_STATE_HOME and HOME all name a plain
// file): the game starts and plays all the same, and says so once on standard error.
TEST_F(ShellStress, TheGameStartsAndPlaysWithoutALog) {
    const kestro::test::TempDir dir("kestro-no-log");
    const std::string plain = (dir / "plain-file").string();
    kestro::test::writeFile(plain, "not a folder");
    const kestro::test::ScopedEnv xdg("XDG_STATE_HOME", plain);
    const kestro::test::ScopedEnv home("HOME", plain);
    LogPlatform p = currentLogPlatform();
    p.exeFolder = plain;
    setLogPlatform(p);

    const std::string errPath = (dir / "stderr").string();
    std::fflush(stderr);
    const int savedErr = ::dup(2);
    const int errFile = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(errFile, 0);
    ASSERT_EQ(::dup2(errFile, 2), 2);
    ::close(errFile);

    test::ManualTime time;
    fMain window(trap, prompt, time);
    std::int64_t ballTicks = 0;
    runSession(window, 2, [&] {
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        ballTicks = test::playFor(window, time, 600);
    });
    std::fflush(stderr);
    ::dup2(savedErr, 2);
    ::close(savedErr);

    EXPECT_GT(ballTicks, 0);
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    EXPECT_EQ(trap.asked, 0);
    EXPECT_FALSE(errorLogOpen());
    // Qt's platform may say things of its own there; the game's line comes once.
    const std::string said = kestro::test::readFile(errPath);
    const std::string line =
        "kestro: running without a log; none of these could be opened: " + plain + "/kestro.erl, " +
        plain + "/kestro/kestro.erl, " + plain + "/.local/state/kestro/kestro.erl\n";
    const std::size_t at = said.find(line);
    ASSERT_NE(at, std::string::npos) << said;
    EXPECT_TRUE(at == 0 || said[at - 1] == '\n') << said;
    EXPECT_EQ(said.find("without a log", at + line.size()), std::string::npos) << said;
    EXPECT_EQ(kestro::test::readFile(plain), "not a folder");
}

}  // namespace
}  // namespace kestro::shell
