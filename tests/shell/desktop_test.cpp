// The game on the desktop: the Help menu's texts, the desktop's shortcut keys, the saved game
// named on the command line, the playfield in device pixels on a screen scaled by 2, and the
// saved-game MIME type against the file format.
//
// Every test of this program runs on an offscreen screen scaled by 2 (QT_SCALE_FACTOR=2): the
// application is made by scaledApp() before any window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/game_file.h"
#include "savegame/layout.h"
#include "savegame/messages.h"
#include "savegame/slider_values.h"
#include "shell/command_line.h"
#include "shell/fmain.h"
#include "shell/help_dialogs.h"
#include "tests/shell/shell_support.h"
#include "tests/support/files.h"
#include "tests/support/result.h"
#include "tests/support/temp_dir.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace kestro::shell {
namespace {

namespace sg = kestro::savegame;
using test::runSession;

constexpr double kRatio = 2.0;

QApplication& scaledApp() {
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kRatio));
    return test::qtApp();
}

// Records the Help menu's texts; `during` runs while a text is "open".
class RecordingInfo final : public InfoPrompt {
  public:
    void showInfo(const std::string& title, const std::string& text) override {
        shown.push_back({title, text});
        if (during) {
            during();
        }
    }
    struct Shown {
        std::string title;
        std::string text;
    };
    std::vector<Shown> shown;
    std::function<void()> during;
};

// Cancels every file dialog and notes which one was asked for.
class CancellingFileDialog final : public FileDialog {
  public:
    std::optional<std::string> askSavePath(const std::string& folder) override {
        asked.push_back("save " + folder);
        return std::nullopt;
    }
    std::optional<std::string> askOpenPath(const std::string& folder) override {
        asked.push_back("open " + folder);
        return std::nullopt;
    }
    std::vector<std::string> asked;  // "save <folder>" or "open <folder>"
};

// Takes the shortcut events of the object it filters and counts them.
class ShortcutCatcher final : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Shortcut) {
            ++caught;
            return true;
        }
        return false;
    }
    int caught = 0;
};

class DesktopWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { scaledApp(); }
    DesktopWindow() {
        window.setInfoPrompt(info);
        window.setFileDialog(files);
    }

    test::TempLog log;
    test::TempConfig config;  // the dialogs' last folder starts empty
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    RecordingInfo info;
    CancellingFileDialog files;
    test::ManualTime time;
    fMain window{trap, prompt, time};
};

TEST_F(DesktopWindow, AboutShowsTheNameTheVersionsTheLicenceAndTheHomepage) {
    window.controls().About.trigger();
    ASSERT_EQ(info.shown.size(), 1u);
    EXPECT_EQ(info.shown[0].title, "About Kestro");
    const std::string& text = info.shown[0].text;
    EXPECT_TRUE(text.starts_with("Kestro Version 4.0\n")) << text;
    EXPECT_THAT(text, HasSubstr("Build " KESTRO_PROJECT_VERSION "\n"));
    EXPECT_THAT(text, HasSubstr("ball"));
    // The licence the LICENSE file grants, and the homepage the package and metainfo name.
    const std::string licence = kestro::test::readFile(KESTRO_SOURCE_DIR "/LICENSE");
    ASSERT_TRUE(licence.starts_with("MIT License\n"));
    EXPECT_THAT(text, HasSubstr("Licence: MIT"));
    EXPECT_THAT(text, HasSubstr("Homepage: " KESTRO_HOMEPAGE));
    EXPECT_TRUE(prompt.messages.empty()) << "not through the game's message box";
}

TEST_F(DesktopWindow, HelpExplainsEveryPartOfTheGameWithTheMenuKeys) {
    window.controls().Help2.trigger();
    ASSERT_EQ(info.shown.size(), 1u);
    EXPECT_EQ(info.shown[0].title, "Kestro Help");
    const std::string& text = info.shown[0].text;
    const char* const topics[] = {"ball",
                                  "pointer wall",
                                  "A wall beside the ball turns it",
                                  "A wall straight ahead",
                                  "does not send the ball back",
                                  "Moving the pointer off a cell lifts the wall",
                                  "goals",
                                  "markers",
                                  "carried into the next level",
                                  "score counts down",
                                  "top speed",
                                  "acceleration",
                                  "Apply",
                                  "Reset",
                                  "\"Pause\"",
                                  "$XDG_CONFIG_HOME/kestro/kestro.conf",
                                  "File > Save (Ctrl+S): saves the game",
                                  "File > Open (Ctrl+O): loads a saved game",
                                  "File > Quit (Ctrl+Q)",
                                  "Help > About: the version",
                                  "Help > Help (F1): this text",
                                  "kestro FILE"};
    for (const char* topic : topics) {
        EXPECT_THAT(text, HasSubstr(topic)) << "no \"" << topic << "\" in:\n" << text;
    }
    EXPECT_THAT(text, Not(HasSubstr("up up")));
    EXPECT_THAT(text, Not(HasSubstr("&")));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DesktopWindow, HelpListsTheMenuBarAsItIsWithEachItemsKeys) {
    // Items the bar gains later are listed with their keys, as their actions have them; an
    // item's second key is named too; the mnemonics' marks are left out.
    QMenu game(QStringLiteral("&Game"));
    QAction newGame(QStringLiteral("&New Game"));
    newGame.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction pause(QStringLiteral("&Pause"));
    pause.setShortcuts({QKeySequence(Qt::Key_P), QKeySequence(Qt::Key_Pause)});
    QAction odd(QStringLiteral("Save && &Go"));
    game.addAction(&newGame);
    game.addSeparator();
    game.addAction(&pause);
    game.addAction(&odd);
    window.menuBar()->insertMenu(window.controls().Help.menuAction(), &game);
    window.controls().Help2.trigger();
    ASSERT_EQ(info.shown.size(), 1u);
    const std::string& text = info.shown[0].text;
    const char* const lines[] = {
        "\nGame > New Game (Ctrl+N): a new game from nothing, as Reset.\n",
        "\nGame > Pause (P or Pause): pauses and resumes the game",
        "\nGame > Save & Go.\n",
    };
    for (const char* line : lines) {
        EXPECT_THAT(text, HasSubstr(line)) << text;
    }
    // In the bar's order: File, then Game, then Help.
    EXPECT_LT(text.find("\nFile > Quit"), text.find("\nGame > New Game"));
    EXPECT_LT(text.find("\nGame > Save & Go"), text.find("\nHelp > About"));
}

TEST(DesktopHelp, ACaptionLosesTheMarksOfItsMnemonic) {
    struct Case {
        const char* caption;
        const char* plain;
    };
    const Case cases[] = {
        {"&File", "File"},
        {"About", "About"},
        {"Restart &Level", "Restart Level"},
        {"Save && &Go", "Save & Go"},
        {"&&&Odd", "&Odd"},
        {"Tail&", "Tail"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plainCaption(c.caption), c.plain) << c.caption;
    }
}

TEST_F(DesktopWindow, TheGameHoldsWhileAHelpTextIsOpenAndGoesOnAsPauseSays) {
    struct Case {
        Qt::CheckState pause;
        bool runningAfter;
    };
    const Case cases[] = {{Qt::Unchecked, true}, {Qt::Checked, false}};
    runSession(window, 2, [&] {
        for (const Case& c : cases) {
            window.controls().cPaused.setCheckState(c.pause);
            std::optional<bool> heldWhileOpen;
            info.during = [&] {
                heldWhileOpen = window.game().messageOpen() && !window.clockTimer().isActive();
            };
            for (QAction* item : {&window.controls().About, &window.controls().Help2}) {
                heldWhileOpen.reset();
                item->trigger();
                EXPECT_EQ(heldWhileOpen, true) << item->text().toStdString();
                EXPECT_EQ(window.game().timers().enabled(), c.runningAfter);
                EXPECT_EQ(window.clockTimer().isActive(), c.runningAfter);
            }
        }
    });
    EXPECT_EQ(info.shown.size(), 4u);
}

TEST_F(DesktopWindow, TheGameHoldsWhileAFileDialogIsOpenAndSavesTheGameOfThatMoment) {
    const kestro::test::TempDir dir("kestro-hold");
    const std::string path = (dir / "held.egf").string();
    test::ScriptedFileDialog dialog;
    window.setFileDialog(dialog);
    GameState atSave;
    std::array<std::int64_t, kTimerCount> ticksAtSave{};
    std::array<std::int64_t, kTimerCount> ticksAfterWait{};
    runSession(window, 2, [&] {
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        dialog.answers = {path};
        dialog.during = [&] {
            atSave = window.gameState();
            ticksAtSave = window.game().ticks();
            // Longer than every game timer's period: a running clock would tick meanwhile.
            test::playFor(window, time, 700);
            ticksAfterWait = window.game().ticks();
        };
        window.controls().mnuSave.trigger();
        // Afterwards the game runs on.
        EXPECT_TRUE(window.game().timers().enabled());
        EXPECT_TRUE(window.clockTimer().isActive());
    });
    EXPECT_EQ(ticksAfterWait, ticksAtSave);
    ASSERT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    const auto saved = sg::loadSavedGame(path);
    ASSERT_TRUE(saved) << sg::refusalText(saved.error());
    EXPECT_EQ(saved.value().game.tiles, atSave.tiles);
    EXPECT_EQ(saved.value().game.variables, sg::storedVariables(atSave));
}

TEST_F(DesktopWindow, TheDesktopsKeysTriggerTheMenuItems) {
    struct Case {
        QAction* item;
        QKeySequence::StandardKey standard;
        QKeySequence key;
    };
    const Case cases[] = {
        {&window.controls().mnuSave, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {&window.controls().mnuOpen, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {&window.controls().mnuQuit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {&window.controls().Help2, QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)},
    };
    for (const Case& c : cases) {
        // The platform's keys, and the usual one where the platform has none.
        for (const QKeySequence& key : QKeySequence::keyBindings(c.standard)) {
            EXPECT_TRUE(c.item->shortcuts().contains(key)) << c.item->text().toStdString();
        }
        EXPECT_TRUE(c.item->shortcuts().contains(c.key)) << c.item->text().toStdString();
    }
    // The mnemonics stay.
    EXPECT_EQ(window.controls().mnuSave.text(), "&Save");
    EXPECT_EQ(window.controls().mnuOpen.text(), "&Open");
    EXPECT_EQ(window.controls().mnuQuit.text(), "&Quit");
    EXPECT_EQ(window.controls().About.shortcuts(), QList<QKeySequence>{});

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(files.asked, (std::vector<std::string>{"save ", "open "}));
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_EQ(info.shown.size(), 1u);
    EXPECT_EQ(info.shown[0].title, "Kestro Help");

    // Quit would end the process: the key's shortcut event is caught before it reaches the item.
    ShortcutCatcher quit;
    window.controls().mnuQuit.installEventFilter(&quit);
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.caught, 1);
}

TEST(DesktopCommandLine, TakesOneSavedGameOrAnOptionOfItsOwnOrRefusesWithTheUsage) {
    enum class Kind { Game, Info, Refused };
    struct Case {
        std::vector<const char*> args;  // after the program's name
        Kind kind;
        std::string value;  // the saved game, the beginning of the text
    };
    const Case cases[] = {
        {{}, Kind::Game, ""},
        {{"level.egf"}, Kind::Game, "level.egf"},
        {{"/home/me/saved games/a b.egf"}, Kind::Game, "/home/me/saved games/a b.egf"},
        {{"./-dash.egf"}, Kind::Game, "./-dash.egf"},
        {{"--help"}, Kind::Info, "Usage: kestro [SAVED-GAME]\n"},
        {{"--version"}, Kind::Info, "kestro " KESTRO_PROJECT_VERSION "\n"},
        {{"a.egf", "b.egf"}, Kind::Refused, ""},
        {{"--help", "a.egf"}, Kind::Refused, ""},
        {{"-platform", "offscreen"}, Kind::Refused, ""},
        {{"-stylesheet", "/dev/zero"}, Kind::Refused, ""},
        {{"--helpme"}, Kind::Refused, ""},
        {{"-"}, Kind::Refused, ""},
        {{""}, Kind::Refused, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"kestro"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const auto parsed = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        switch (c.kind) {
            case Kind::Game: {
                ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed)) << what;
                const auto& file = std::get<CommandLine>(parsed).savedGame;
                EXPECT_EQ(file.value_or(""), c.value) << what;
                break;
            }
            case Kind::Info:
                ASSERT_TRUE(std::holds_alternative<CommandLineInfo>(parsed)) << what;
                EXPECT_EQ(std::get<CommandLineInfo>(parsed).text.rfind(c.value, 0), 0u) << what;
                break;
            case Kind::Refused:
                ASSERT_TRUE(std::holds_alternative<CommandLineError>(parsed)) << what;
                EXPECT_EQ(std::get<CommandLineError>(parsed).text, "Usage: kestro [SAVED-GAME]");
                break;
        }
    }
}

class DesktopStartupFile : public DesktopWindow {
  protected:
    kestro::test::TempDir dir{"kestro-startup"};
};

TEST_F(DesktopStartupFile, StartsWithTheSavedGameLoadedBeforeTheFirstFrame) {
    GameState saved;
    for (int x = 0; x < kCols; ++x) {
        saved.tiles.set(x, 0, tileWall);
        saved.tiles.set(x, 20, tileBlock);
    }
    saved.tiles.set(10, 10, tileBall);
    saved.ballX = 10;
    saved.ballY = 10;
    saved.lastX = 9;
    saved.lastY = 11;
    saved.score = 4321;
    saved.ballInterval = 250;
    saved.minInterval = 201;
    const sg::SliderValues sliders{100, 3, 7};
    const auto path = dir / "saved.egf";
    ASSERT_EQ(kestro::test::reasonOf(sg::saveGameFile(path, saved, sliders, 1000)), std::nullopt);

    window.setStartupFile(path.string());
    std::optional<GameState> atFirstFrame;
    runSession(window, 1, [&] { atFirstFrame = window.gameState(); });
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    ASSERT_TRUE(atFirstFrame) << "the game started";
    EXPECT_EQ(atFirstFrame->tiles, saved.tiles);
    EXPECT_EQ(atFirstFrame->score, 4321);
    EXPECT_EQ(atFirstFrame->level, 7);
    EXPECT_EQ(sg::readSliderValues(window.sliders()), sliders);
    EXPECT_TRUE(window.game().paused()) << "it starts paused as ever";

    // File > Open offers the folder of the game loaded at start-up.
    window.controls().mnuOpen.trigger();
    EXPECT_EQ(files.asked, std::vector<std::string>{"open " + dir.path().string()});
}

TEST_F(DesktopStartupFile, AFileThatCannotBeLoadedIsToldAndTheGameStartsAsUsual) {
    kestro::test::writeFile(dir / "garbage.egf", "not a saved game");
    const std::filesystem::path cases[] = {dir / "missing.egf", dir / "garbage.egf", dir.path()};
    for (const auto& path : cases) {
        test::RecordingPrompt seen;
        fMain fresh(trap, seen);
        fresh.setStartupFile(path.string());
        const test::SessionFrames frames = runSession(fresh, 2, [] {});
        // The same words File > Open shows for the same file.
        const auto load = sg::loadSavedGame(path);
        ASSERT_FALSE(load);
        EXPECT_EQ(seen.messages, std::vector<std::string>{sg::refusalText(load.error())}) << path;
        EXPECT_EQ(frames.presented, 2) << path;
        EXPECT_EQ(fresh.gameState().tiles.at(35, 27), tileBall) << "the first level is played";
        EXPECT_EQ(fresh.gameState().level, 1);
    }
}

TEST_F(DesktopWindow, ThePlayfieldDrawsInDevicePixelsOnAScreenScaledByTwo) {
    ASSERT_DOUBLE_EQ(window.devicePixelRatio(), kRatio) << "QT_SCALE_FACTOR was not taken";
    std::optional<QImage> frame;
    QImage shown;
    runSession(window, 2, [&] {
        frame = window.controls().Kestro.surface().image().copy();
        shown = window.controls().Kestro.grab().toImage();
    });
    ASSERT_TRUE(frame);
    // The layout is in logical pixels; the image has twice as many pixels per axis, and so have
    // the cells.
    const QSize logical = window.controls().Kestro.size();
    EXPECT_EQ(frame->size(), logical * 2);
    EXPECT_DOUBLE_EQ(frame->devicePixelRatio(), kRatio);
    const GameState& s = window.gameState();
    const double cellW = logical.width() / 59.0;
    const double cellH = logical.height() / 47.0;
    EXPECT_FLOAT_EQ(s.tileW, static_cast<float>(2 * cellW));
    EXPECT_FLOAT_EQ(s.tileH, static_cast<float>(2 * cellH));

    // The ball's cell is drawn with twice the pixels per axis of a cell at ratio 1.
    QRect ball;
    for (int y = 0; y < frame->height(); ++y) {
        for (int x = 0; x < frame->width(); ++x) {
            if (frame->pixel(x, y) == qRgb(0, 0, 255)) {
                ball |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(ball.isEmpty()) << "no ball drawn";
    EXPECT_NEAR(ball.width(), 2 * cellW, 1.0);
    EXPECT_NEAR(ball.height(), 2 * cellH, 1.0);
    EXPECT_EQ(static_cast<int>(static_cast<float>(ball.center().x()) / s.tileW), 35)
        << "the ball starts at (35, 27)";
    EXPECT_EQ(static_cast<int>(static_cast<float>(ball.center().y()) / s.tileH), 27);

    // On screen the image is shown pixel for pixel.
    ASSERT_EQ(shown.size(), frame->size());
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32).copy(ball),
              frame->convertToFormat(QImage::Format_RGB32).copy(ball));
}

TEST_F(DesktopWindow, ThePointerWallFollowsThePointerOnAScreenScaledByTwo) {
    runSession(window, 2, [&] {
        const GameState& s = window.gameState();
        // Qt gives logical positions: the point that maps to cell (10, 12) in device pixels.
        const QPointF pos(11 * s.tileW / kRatio, 13 * s.tileH / kRatio);
        test::movePointer(window, pos);
        EXPECT_EQ(s.cursorX, 10);
        EXPECT_EQ(s.cursorY, 12);
        EXPECT_EQ(s.tiles.at(10, 12), tileWall);
    });
}

TEST(DesktopMimeType, MatchesTheSavedGameFormat) {
    const std::string mime =
        kestro::test::readFile(KESTRO_SOURCE_DIR "/desktop/kestro-mime.xml.in");
    ASSERT_FALSE(mime.empty());
    EXPECT_THAT(mime, HasSubstr("<match type=\"string\" offset=\"0\" value=\"" +
                                std::string(sg::kTag) + "\"/>"))
        << mime;
    EXPECT_THAT(mime, HasSubstr("<glob pattern=\"*.egf\"/>"));
    EXPECT_THAT(mime, HasSubstr("type=\"application/x-kestro-savegame\""));
    const std::string entry =
        kestro::test::readFile(KESTRO_SOURCE_DIR "/desktop/kestro.desktop.in");
    EXPECT_THAT(entry, HasSubstr("\nMimeType=application/x-kestro-savegame;\n"));
    EXPECT_THAT(entry, HasSubstr("\nExec=kestro %f\n"));
}

}  // namespace
}  // namespace kestro::shell
