#pragma once
// What the window tests share: one QApplication, answers for the dialogs, a log in a temporary
// folder, and a way to run the game until a given frame and close it from there.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QTimer>

#include "diag/error_trap.h"
#include "diag/log.h"
#include "diag/log_platform.h"
#include "shell/dialogs.h"
#include "shell/fmain.h"
#include "tests/support/temp_log.h"

namespace kestro::shell::testing {

// The application lives as long as the process: Quit ends the process from inside a running
// window, and an application destroyed by the exit handlers under live windows would crash.
// Qt's own offscreen screen is 800 x 600, too small for the window's designed size: the tests
// run on a large one unless they chose a screen of their own.
inline QApplication& qtApp() {
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" KESTRO_SHELL_TEST_DIR "/large_screen.json");
    }
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = std::make_unique<QApplication>(argc, argv).release();
    return *app;
}

// Answers every trap with the same choice and counts the questions.
class ScriptedTrap final : public TrapDialog {
  public:
    int ask(const std::string&, const std::string&) override {
        ++asked;
        return kAnswerIgnore;
    }
    int asked = 0;
};

class RecordingPrompt final : public MessagePrompt {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// Answers the dialog from a queue (nothing: cancelled) and notes the folders it was offered.
class ScriptedFileDialog final : public FileDialog {
  public:
    std::function<void()> during;  // runs while the dialog is "open"
    std::optional<std::string> askSavePath(const std::string& folder) override {
        return next("save", folder);
    }
    std::optional<std::string> askOpenPath(const std::string& folder) override {
        return next("open", folder);
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;  // "save <folder>" or "open <folder>"

  private:
    std::optional<std::string> next(const std::string& kind, const std::string& folder) {
        asked.push_back(kind + " " + folder);
        if (during) {
            during();
        }
        if (answers.empty()) {
            ADD_FAILURE() << "the dialog was not expected";
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

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

    kestro::testing::TempLogFolder log_{"kestro-shell", platform()};
};

// Runs start-up and lets the game draw frames until frame `closeAt` has been presented; then
// `atFrame` runs and the window is asked to close. Keeps a copy of the first `keep` frames.
// Returns when start-up has returned.
struct SessionFrames {
    std::vector<QImage> frames;
    int presented = 0;
};

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

}  // namespace kestro::shell::testing
