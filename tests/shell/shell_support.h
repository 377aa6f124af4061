#pragma once
// What the window tests share: one QApplication, the dialogs' stand-ins (from tests/support), a
// log in a temporary folder, and a way to run the game until a given frame and close it from there.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointF>
#include <QTimer>

#include "diag/error_trap.h"
#include "diag/log.h"
#include "diag/log_platform.h"
#include "shell/dialogs.h"
#include "shell/fmain.h"
#include "shell/preferences.h"
#include "tests/support/scoped_env.h"
#include "tests/support/shell_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/temp_log.h"
#include "tests/support/trap_dialogs.h"

namespace kestro::shell::test {

// A configuration folder of the test's own: the windows made meanwhile keep their preferences
// there ($XDG_CONFIG_HOME), never in the user's.
class TempConfig {
  public:
    const std::filesystem::path& folder() const { return dir_.path(); }
    std::filesystem::path file() const { return dir_ / "kestro" / "kestro.conf"; }

  private:
    kestro::test::TempDir dir_{"kestro-config"};
    kestro::test::ScopedEnv env_{"XDG_CONFIG_HOME", dir_.path().string()};
};

// The configuration folder of the whole test program.
inline TempConfig& processConfig() {
    static TempConfig config;
    return config;
}

// The application lives as long as the process: Quit ends the process from inside a running
// window, and an application destroyed by the exit handlers under live windows would crash.
// Qt's own offscreen screen is 800 x 600, too small for the window's designed size: the tests
// run on a large one unless they chose a screen of their own.
inline QApplication& qtApp() {
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" KESTRO_SHELL_TEST_DIR "/large_screen.json");
    }
    // What the game keeps per user (the high-score table, the game kept at a close) goes to a
    // folder of the tests', never to the home of whoever runs them.
    static const kestro::test::TempDir userFolders{"kestro-shell-user"};
    static const bool userFoldersSet = [] {
        for (const char* name : {"XDG_DATA_HOME", "XDG_STATE_HOME"}) {
            ::setenv(name, (userFolders.path() / name).c_str(), 1);
        }
        return true;
    }();
    static_cast<void>(userFoldersSet);
    // Whatever a test leaves in the configuration stays in a folder of the process's own, and Qt
    // keeps nothing of its own there, as in the game.
    processConfig();
    keepQtSettingsOutOfTheUsersConfig();
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = std::make_unique<QApplication>(argc, argv).release();
    return *app;
}

using kestro::test::RecordingPrompt;
using kestro::test::ScriptedFileDialog;
using kestro::test::ScriptedTrap;

// The log goes to a fresh temporary folder ("<folder>/kestro.erl") with a fixed clock.
class TempLog {
  public:
    std::filesystem::path path() const { return log_.logPath("kestro"); }
    // The records of the log: its text split at CR LF.
    std::vector<std::string> records() const { return log_.records("kestro"); }

  private:
    static LogPlatform platform() {
        LogPlatform p;
        p.instance = 4242;
        p.versionMajor = 4;
        p.versionMinor = 0;
        p.versionPatch = 0;
        return p;
    }

    kestro::test::TempLogFolder log_{"kestro-shell", platform()};
};

// Runs start-up and lets the game draw frames until frame `closeAt` has been presented; then
// `atFrame` runs and the window is asked to close. Keeps a copy of the first `keep` frames.
// Returns when start-up has returned.
struct SessionFrames {
    std::vector<QImage> frames;
    int presented = 0;
};

// A time the test moves by hand: the game advances only as far as the test plays it.
class ManualTime final : public TimeSource {
  public:
    Millis now() const override { return now_; }
    void advance(Millis ms) { now_ += ms; }

  private:
    Millis now_ = 0;
};

// The pointer moved over the playfield to pos (the box's logical pixels), as the platform
// reports it.
inline void movePointer(fMain& window, QPointF pos, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, pos, window.controls().Kestro.mapToGlobal(pos),
                     Qt::NoButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&window.controls().Kestro, &move);
}

// The pointer moved to the point that maps to cell (x, y) at a pixel ratio of 1: half a cell below
// and right of the cell's centre.
inline void movePointerToCell(fMain& window, int x, int y) {
    const GameState& s = window.gameState();
    movePointer(window,
                QPointF(static_cast<float>(x + 1) * s.tileW, static_cast<float>(y + 1) * s.tileH));
}

// What most window tests need: the application, a log of their own, the prompts as stand-ins and
// a time the test moves by hand.
class WindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    TempLog log;
    ScriptedTrap trap;
    RecordingPrompt prompt;
    ManualTime time;
};

// Plays `ms` of the window's time in steps of a frame, running the window's events after each
// step as the frame loop does; returns the ball ticks the game has made so far.
inline std::int64_t playFor(fMain& window, ManualTime& time, Millis ms) {
    constexpr Millis kStep = 16;
    for (Millis played = 0; played < ms; played += kStep) {
        time.advance(kStep);
        window.advanceClock();
        QCoreApplication::processEvents();
    }
    return window.game().ticks()[static_cast<std::size_t>(TimerId::Ball)];
}

inline SessionFrames runSession(fMain& window, int closeAt, const std::function<void()>& atFrame,
                                int keep = 2) {
    SessionFrames s;
    window.setFramePresented([&](const QImage& image) {
        ++s.presented;
        if (s.presented <= keep) {
            s.frames.push_back(image.copy());
        }
        if (s.presented == closeAt) {
            atFrame();
            window.close();
        }
    });
    // Should the game never present the frame, close it anyway so the test ends.
    QTimer::singleShot(30000, &window, [&] {
        ADD_FAILURE() << "no frame " << closeAt << " within 30 s";
        window.close();
    });
    window.Form_Load();
    window.setFramePresented(nullptr);
    return s;
}

}  // namespace kestro::shell::test
