// The window's runs: the name dialog and the table after a run that enters the ten, the table on
// its own (Game > High Scores), and the game kept at a close and resumed with its run.

#include <gtest/gtest.h>

#include <cstddef>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QKeySequence>
#include <QTest>
#include <QTimer>

#include "game/level.h"
#include "records/files.h"
#include "records/table.h"
#include "savegame/game_file.h"
#include "savegame/slider_values.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"
#include "tests/support/files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace kestro::shell {
namespace {

namespace fs = std::filesystem;
using test::qtApp;

// Names entries from a queue and keeps every table it was shown.
class ScriptedRecords final : public RecordsPrompt {
  public:
    std::optional<std::string> askName(const std::string& offered) override {
        offers.push_back(offered);
        if (names.empty()) {
            ADD_FAILURE() << "no name was expected";
            return std::nullopt;
        }
        auto name = names.front();
        names.pop_front();
        return name;
    }
    void showTable(const records::Table& table, std::optional<std::size_t> marked) override {
        shown.emplace_back(table, marked);
    }
    std::deque<std::optional<std::string>> names;
    std::vector<std::string> offers;
    std::vector<std::pair<records::Table, std::optional<std::size_t>>> shown;
};

records::Entry entry(const std::string& name, std::int32_t points) {
    return records::Entry{name, records::RunScore{points, 7, 5, 300, "2024-05-01T10:00:00Z"},
                          false};
}

class ShellRecords : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    fs::path scores() const { return home.path() / "data" / "kestro" / "scores"; }
    fs::path lastGame() const { return home.path() / "state" / "kestro" / "last.egf"; }

    // Runs the window from start-up; at the second frame `play` runs, then the window closes.
    void session(fMain& window, const std::function<void()>& play) {
        window.setRecordsPrompt(records);
        window.setFramePresented([&](const QImage&) {
            if (++presented == 2) {
                play();
                window.close();
            }
        });
        QTimer::singleShot(30000, &window, [&] { window.close(); });
        window.Form_Load();
        window.setFramePresented(nullptr);
        presented = 0;
    }

    // Completes the level in play: its goals go, and the level-up tick banks the score.
    void completeLevel(fMain& window) {
        GameState& s = window.gameState();
        for (const Cell& g : kGoalCells) {
            s.tiles.set(g.x, g.y, tileEmpty);
        }
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        const std::int32_t level = s.level;
        for (int i = 0; i < 200 && s.level == level; ++i) {
            test::playFor(window, time, 16);
        }
        ASSERT_NE(s.level, level) << "the level was not completed";
        window.controls().cPaused.setCheckState(Qt::Checked);
    }

    kestro::test::TempDir home{"kestro-records-window"};
    kestro::test::ScopedEnv data{"XDG_DATA_HOME", (home.path() / "data").string()};
    kestro::test::ScopedEnv state{"XDG_STATE_HOME", (home.path() / "state").string()};
    test::TempConfig config;  // the player's name is a preference
    test::TempLog log;
    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    test::ManualTime time;
    ScriptedRecords records;
    int presented = 0;
};

TEST_F(ShellRecords, ARunThatEntersTheTableIsNamedAndShownMarked) {
    // What ends a run in play, and asks for its name.
    struct Case {
        const char* what;
        std::function<void(fMain&)> end;
    };
    const Case cases[] = {
        {"New Game", [](fMain& w) { w.controls().reset.click(); }},
        {"a loss",
         [this](fMain& w) {
             w.gameState().score = 1;
             w.controls().cPaused.setCheckState(Qt::Unchecked);
             test::playFor(w, time, 3000);  // the score tick takes the last point
             w.controls().cPaused.setCheckState(Qt::Checked);
         }},
        {"File > Open",
         [this](fMain& w) {
             const fs::path file = home.path() / "other.egf";
             ASSERT_TRUE(savegame::saveGameFile(file, w.gameState(), savegame::SliderValues{}, 0));
             w.loadGame(file.string());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(scores());
        records = ScriptedRecords{};
        // A table with a better and a worse run: the new one goes in second.
        ASSERT_TRUE(records::recordRun(scores(), entry("best", 1000000)));
        ASSERT_TRUE(records::recordRun(scores(), entry("worst", 1)));
        records.names = {std::string("  Ann\tSmith ")};
        fMain window(trap, prompt, time);
        std::int32_t banked = 0;
        session(window, [&] {
            completeLevel(window);
            banked = window.gameState().bankedScore;
            ASSERT_GT(banked, 1);
            EXPECT_TRUE(records.offers.empty()) << "a run goes on over a completion";
            c.end(window);
        });
        ASSERT_EQ(records.offers.size(), 1u);
        if (&c != &cases[0]) {
            EXPECT_EQ(records.offers[0], "Ann Smith") << "the last name used is offered";
        }
        ASSERT_EQ(records.shown.size(), 1u);
        const auto& [table, marked] = records.shown[0];
        EXPECT_EQ(marked, 2u);
        ASSERT_EQ(table.size(), 3u);
        EXPECT_EQ(table[1].name, "Ann Smith") << "names are cleaned";
        EXPECT_EQ(table[1].score.points, banked);
        EXPECT_EQ(table[1].score.level, 1);
        EXPECT_FALSE(table[1].fromSavedGame);
        const auto onDisk = records::readTable(scores());
        ASSERT_TRUE(onDisk) << onDisk.error();
        // The close after the session keeps no second entry: the run that follows has none.
        EXPECT_EQ(onDisk.value(), table);
    }
}

TEST_F(ShellRecords, RunsThatStayOutOrHaveNoPointsAskNothing) {
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(records::recordRun(scores(), entry("p" + std::to_string(i), 1000000 - i)));
    }
    const auto before = records::readTable(scores());
    fMain window(trap, prompt, time);
    session(window, [&] {
        window.controls().reset.click();  // a run without a completion
        completeLevel(window);
        window.controls().reset.click();  // a run whose points stay out of the ten
    });
    EXPECT_TRUE(records.offers.empty());
    EXPECT_TRUE(records.shown.empty());
    EXPECT_EQ(records::readTable(scores()).value(), before.value());
}

TEST_F(ShellRecords, HighScoresShowsTheTableAndATableThatCannotBeKeptIsToldOnce) {
    fMain window(trap, prompt, time);
    EXPECT_EQ(window.controls().mnuHighScores.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    records.names = {std::string("a"), std::string("b")};
    session(window, [&] {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_H, Qt::ControlModifier);  // no table yet: an empty one
        // The folder the table would go in becomes a file: no run can be kept.
        fs::create_directories(scores().parent_path().parent_path());
        kestro::test::writeFile(scores().parent_path(), "not a folder");
        for (int run = 0; run < 2; ++run) {
            completeLevel(window);
            window.controls().reset.click();
        }
    });
    EXPECT_EQ(records.offers.size(), 2u);
    ASSERT_EQ(records.shown.size(), 1u) << "only Game > High Scores";
    EXPECT_TRUE(records.shown[0].first.empty());
    EXPECT_EQ(records.shown[0].second, std::nullopt);
    ASSERT_EQ(prompt.messages.size(), 1u) << "told once";
    EXPECT_NE(prompt.messages[0].find("not kept"), std::string::npos) << prompt.messages[0];
}

TEST_F(ShellRecords, AClosedGameIsResumedWithItsRunAndKeptOnce) {
    GameState atClose;
    std::optional<records::RunRecord> runAtClose;
    {
        fMain window(trap, prompt, time);
        session(window, [&] {
            completeLevel(window);
            atClose = window.gameState();
            runAtClose = window.runs().record();
        });
        ASSERT_TRUE(runAtClose && runAtClose->best);
        EXPECT_TRUE(records.offers.empty()) << "a close asks nothing";
    }
    ASSERT_TRUE(fs::is_regular_file(lastGame()));
    ASSERT_TRUE(fs::is_regular_file(lastGame().string().substr(0, lastGame().string().size() - 4) +
                                    ".run"));
    auto table = records::readTable(scores());
    ASSERT_TRUE(table && table.value().size() == 1u);
    EXPECT_EQ(table.value()[0].score, *runAtClose->best);

    fMain window(trap, prompt, time);
    session(window, [&] {
        EXPECT_EQ(window.gameState().level, 1) << "the game still starts afresh";
        ASSERT_TRUE(window.lastGameLoads());
        window.controls().mnuResume.trigger();
        EXPECT_EQ(window.gameState().tiles, atClose.tiles);
        EXPECT_EQ(window.gameState().score, atClose.score);
        EXPECT_EQ(window.gameState().bankedScore, atClose.bankedScore);
        EXPECT_EQ(window.runs().record(), runAtClose) << "the run goes on, not a new one";
    });
    // Closed again without a better completion: the same run's best is in the table once.
    table = records::readTable(scores());
    ASSERT_TRUE(table);
    EXPECT_EQ(table.value().size(), 1u);
    EXPECT_TRUE(records.offers.empty());
}

TEST_F(ShellRecords, AGameOpenedFromAFileIsMarkedAndNoLastGameDisablesResume) {
    fMain window(trap, prompt, time);
    session(window, [&] {
        EXPECT_FALSE(window.lastGameLoads());
        const fs::path file = home.path() / "g.egf";
        ASSERT_TRUE(savegame::saveGameFile(file, window.gameState(), savegame::SliderValues{}, 0));
        window.loadGame(file.string());
        ASSERT_TRUE(window.runs().record());
        EXPECT_TRUE(window.runs().record()->fromSavedGame);
        window.controls().reset.click();
        EXPECT_FALSE(window.runs().record()->fromSavedGame) << "a New Game is fresh";
    });
}

}  // namespace
}  // namespace kestro::shell
