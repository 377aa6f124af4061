// The File menu in the window, with its file dialog answered by the test: save and load back,
// cancelled dialogs, refused files that change nothing, failed saves that say so, and files
// shared with kestro-sim.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "savegame/codec.h"
#include "savegame/game_file.h"
#include "savegame/messages.h"
#include "savegame/slider_values.h"
#include "shell/fmain.h"
#include "tests/savegame/random_game.h"
#include "tests/shell/shell_support.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace kestro::shell {
namespace {

using test::qtApp;
using test::ScriptedFileDialog;
namespace sg = kestro::savegame;

class ShellFileMenu : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }
    ShellFileMenu() {
        window.setFileDialog(dialog);
        // A game in the middle of play, every stored value different from a fresh one.
        sg::test::RandomGames random(5);
        GameState played = random.playable();
        played.tileW = 9.5f;
        played.tileH = 11.0f;
        played.level = 33;
        window.gameState() = played;
        const sg::SliderValues sl = random.sliders();
        window.sliders().SSpeed.setValue(sl.SSpeed);
        window.sliders().SAccel.setValue(sl.SAccel);
        window.sliders().SLvl.setValue(sl.SLvl);
    }

    sg::SliderValues sliderValues() { return sg::readSliderValues(window.sliders()); }

    // Everything a load may change: the grid, the variables, the level and the sliders.
    struct Snapshot {
        GameState state;
        sg::SliderValues sliders;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() { return {window.gameState(), sliderValues()}; }

    kestro::test::TempDir dir{"kestro-filemenu"};
    test::TempConfig config;  // the dialogs' last folder starts empty
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    ScriptedFileDialog dialog;
    fMain window{trap, prompt};
};

TEST_F(ShellFileMenu, SaveThenLoadRestoresTheGameAndKeepsTheClock) {
    const Snapshot saved = snapshot();
    const std::string path = (dir / "game.egf").string();
    dialog.answers = {path, path};
    window.controls().mnuSave.trigger();
    ASSERT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    ASSERT_EQ(std::filesystem::file_size(path), sg::kFileSize);

    // Play on: a new level from other sliders, the game running.
    window.sliders().SLvl.setValue(2);
    window.sliders().SSpeed.setValue(100);
    window.game().apply();
    window.game().setPaused(false, 0);
    window.game().advanceTo(5000);
    const std::int32_t ballPeriod = window.game().timers().period(TimerId::Ball);
    const auto ticks = window.game().ticks();

    window.controls().mnuOpen.trigger();
    EXPECT_TRUE(prompt.messages.empty());
    const Snapshot loaded = snapshot();
    EXPECT_EQ(loaded.sliders, saved.sliders);
    EXPECT_EQ(sg::storedVariables(loaded.state), sg::storedVariables(saved.state));
    EXPECT_EQ(loaded.state.tiles, saved.state.tiles);
    // The game goes on at the loaded level, not the one it was at.
    EXPECT_EQ(loaded.state.level, saved.sliders.SLvl);
    EXPECT_EQ(window.controls().Label1.text().toStdString(),
              "Level: " + std::to_string(saved.sliders.SLvl));
    // The pause state, the timers and their periods are the running game's.
    EXPECT_TRUE(window.game().timers().enabled());
    EXPECT_EQ(window.game().timers().period(TimerId::Ball), ballPeriod);
    EXPECT_EQ(window.game().ticks(), ticks);
    // The second dialog was offered the folder of the first.
    EXPECT_EQ(dialog.asked, (std::vector<std::string>{"save ", "open " + dir.path().string()}));
}

TEST_F(ShellFileMenu, ACancelledDialogDoesNothing) {
    const Snapshot before = snapshot();
    dialog.answers = {std::nullopt, std::nullopt};
    window.controls().mnuSave.trigger();
    window.controls().mnuOpen.trigger();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(ShellFileMenu, ARefusedFileChangesNothingAndSaysWhy) {
    const sg::SaveBytes good = sg::encode(GameState{}, sg::SliderValues{}, 1234);
    std::string wrongCase(good.begin(), good.end());
    wrongCase.replace(0, 8, "egf1.0br");
    struct Case {
        const char* name;
        std::optional<std::string> content;  // nothing: a folder
        std::string message;                 // exact, or the start of it when it ends in ": "
    };
    // A game the format holds that the game cannot run: its acceleration overflows.
    GameState fast = window.gameState();
    fast.accelStep = -32768;
    const sg::SaveBytes unplayable = sg::encode(fast, sg::SliderValues{}, 1234);
    const Case cases[] = {
        {"wrong-case.egf", wrongCase, std::string(sg::kWrongVersionMessage)},
        {"unplayable.egf", std::string(unplayable.begin(), unplayable.end()),
         std::string(sg::kCannotLoadMessage) + "accelStep is -32768, outside 0..20: it is the "
                                               "acceleration slider's value, or 0 before the "
                                               "first level."},
        {"empty.egf", std::string(), std::string(sg::kCannotLoadMessage)},
        {"short.egf", std::string(good.begin(), good.end() - 1),
         std::string(sg::kCannotLoadMessage)},
        {"folder.egf", std::nullopt, std::string(sg::kCannotLoadMessage)},
        {"missing.egf", std::nullopt, std::string(sg::kCannotLoadMessage)},
    };
    for (const Case& c : cases) {
        const auto path = dir / c.name;
        if (c.content) {
            kestro::test::writeFile(path, *c.content);
        } else if (std::string(c.name) == "folder.egf") {
            std::filesystem::create_directory(path);
        }
        const Snapshot before = snapshot();
        prompt.messages.clear();
        dialog.answers = {path.string()};
        window.controls().mnuOpen.trigger();
        EXPECT_EQ(snapshot(), before) << c.name;
        ASSERT_EQ(prompt.messages.size(), 1u) << c.name;
        if (c.message.ends_with(": ")) {
            EXPECT_TRUE(prompt.messages[0].starts_with(c.message)) << prompt.messages[0];
            EXPECT_GT(prompt.messages[0].size(), c.message.size()) << "and the reason";
        } else {
            EXPECT_EQ(prompt.messages[0], c.message) << c.name;
        }
    }
}

TEST_F(ShellFileMenu, TamperedDimensionsAreToldAndTheGameStillLoads) {
    GameState other;
    other.score = 4321;
    other.ballX = 10;
    other.ballY = 10;
    other.lastX = 11;
    other.lastY = 9;
    other.minInterval = 201;
    other.ballInterval = 390;
    sg::SaveBytes bytes = sg::encode(other, sg::SliderValues{100, 3, 7}, 99);
    bytes[sg::kDimensionsOffset] = 59;
    bytes[sg::kDimensionsOffset + 2] = 47;
    const auto path = dir / "tampered.egf";
    kestro::test::writeFile(path, std::string(bytes.begin(), bytes.end()));
    dialog.answers = {path.string()};
    window.controls().mnuOpen.trigger();
    EXPECT_EQ(prompt.messages, std::vector<std::string>{std::string(sg::kTamperedMessage)});
    EXPECT_EQ(window.gameState().score, 4321);
    EXPECT_EQ(window.gameState().level, 7);
}

TEST_F(ShellFileMenu, AFailedSaveSaysSoAndKeepsWhatWasThere) {
    const auto existing = dir / "kept.egf";
    kestro::test::writeFile(existing, "what was there");
    const auto blocker = dir / "file";
    kestro::test::writeFile(blocker, "x");
    const std::string targets[] = {
        (dir / "no-such-folder" / "game.egf").string(),
        (blocker / "game.egf").string(),  // a file where a folder should be: stops root too
        dir.path().string(),              // a folder
    };
    // A file of two names: a new copy would part them, so it is refused with the reason.
    const auto linked = dir / "linked.egf";
    kestro::test::writeFile(linked, "shared");
    std::filesystem::create_hard_link(linked, dir / "other-name.egf");
    prompt.messages.clear();
    dialog.answers = {linked.string()};
    window.controls().mnuSave.trigger();
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>{std::string(kNotSavedMessage) + "cannot write '" +
                                       linked.string() +
                                       "': it has 2 hard links, which a new copy would split "
                                       "into separate files"});
    EXPECT_EQ(kestro::test::readFile(dir / "other-name.egf"), "shared");
    for (const std::string& target : targets) {
        prompt.messages.clear();
        const Snapshot before = snapshot();
        dialog.answers = {target};
        window.controls().mnuSave.trigger();
        ASSERT_EQ(prompt.messages.size(), 1u) << target;
        EXPECT_TRUE(prompt.messages[0].starts_with(kNotSavedMessage)) << prompt.messages[0];
        EXPECT_GT(prompt.messages[0].size(), std::string(kNotSavedMessage).size());
        EXPECT_EQ(snapshot(), before) << "the game goes on";
    }
    EXPECT_EQ(kestro::test::readFile(existing), "what was there");
    EXPECT_EQ(kestro::test::readFile(blocker), "x");
}

TEST_F(ShellFileMenu, FilesAreTheSameAsKestroSimsBothWays) {
    // The window's save, saved again by kestro-sim with the same key, is the same bytes.
    const auto windowFile = dir / "window.egf";
    dialog.answers = {windowFile.string()};
    window.controls().mnuSave.trigger();
    const auto decoded = sg::loadSavedGame(windowFile);
    ASSERT_TRUE(decoded.ok());
    const auto simFile = dir / "sim.egf";
    auto r = kestro::test::runProgram(
        KESTRO_SIM, {"step", windowFile.string(), simFile.string(), "--ticks", "0", "--key",
                     std::to_string(decoded.value().game.fileKey)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(kestro::test::readFile(simFile), kestro::test::readFile(windowFile));

    // A level kestro-sim built loads in the window as it is.
    const auto newFile = dir / "new.egf";
    r = kestro::test::runProgram(
        KESTRO_SIM, {"new", newFile.string(), "--level", "12", "--seed", "3", "--key", "777"});
    ASSERT_EQ(r.status, 0) << r.err;
    dialog.answers = {newFile.string()};
    window.controls().mnuOpen.trigger();
    EXPECT_TRUE(prompt.messages.empty());
    const auto expected = sg::loadSavedGame(newFile);
    ASSERT_TRUE(expected.ok());
    EXPECT_EQ(window.gameState().tiles, expected.value().game.tiles);
    EXPECT_EQ(sg::storedVariables(window.gameState()), expected.value().game.variables);
    EXPECT_EQ(window.gameState().level, 12);
}

}  // namespace
}  // namespace kestro::shell
