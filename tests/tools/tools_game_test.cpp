// kestro-sim new, step and show, run as the separate program outside scripts use.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game/ball.h"
#include "game/display.h"
#include "game/game_state.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/game_file.h"
#include "savegame/layout.h"
#include "savegame/messages.h"
#include "tests/support/distinct_state.h"
#include "tests/support/files.h"
#include "tests/support/result.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/run_sim.h"

using ::testing::HasSubstr;

namespace kestro::sim {
namespace {

namespace fs = std::filesystem;
namespace sg = kestro::savegame;
using test::RunResult;

class ToolsGame : public test::SimFolder {
  protected:
    ToolsGame() : SimFolder("kestro-tools-game") {}
};

std::string asString(const sg::SaveBytes& b) {
    return std::string(b.begin(), b.end());
}

// What `new` must save: the level built in-process from the same settings.
sg::SaveBytes expectedNew(std::int32_t level, std::int32_t accel, std::int32_t speed,
                          std::int32_t banked, std::int16_t prevAccel, RandomSource& random,
                          std::int32_t key) {
    StandardSliders sliders;
    sliders.SLvl.setValue(level);
    sliders.SAccel.setValue(accel);
    sliders.SSpeed.setValue(speed);
    GameState s;
    s.bankedScore = banked;
    s.accelStep = prevAccel;
    NullDisplay display;
    generateLevel(s, sliders.view(), random, display);
    return sg::encode(s, sg::readSliderValues(sliders.view()), key);
}

TEST_F(ToolsGame, NewBuildsTheLevelOfItsSettings) {
    struct Case {
        std::vector<std::string> options;
        std::int32_t level, accel, speed, banked;
        std::int16_t prevAccel;
        std::uint64_t seed;
        std::int32_t key;
    };
    const Case cases[] = {
        {{"--seed", "42", "--key", "1000"}, 1, 5, 300, 0, 0, 42, 1000},
        {{"--level", "80", "--accel", "20", "--speed", "500", "--seed", "7", "--key", "0"},
         80,
         20,
         500,
         0,
         0,
         7,
         0},
        {{"--level", "0", "--accel", "1", "--speed", "-1", "--banked", "-5", "--prev-accel", "9",
          "--seed", "1", "--key", "86400"},
         0,
         1,
         -1,
         -5,
         9,
         1,
         86400},
        {{"--level=33", "--banked=123456", "--prev-accel=20", "--seed=99", "--key=4711"},
         33,
         5,
         300,
         123456,
         20,
         99,
         4711},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.front() + " " + c.options[1]);
        std::vector<std::string> args{"new", path("new.egf")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ok(args);
        SeededRandom random(c.seed);
        EXPECT_EQ(bytesOf("new.egf"), asString(expectedNew(c.level, c.accel, c.speed, c.banked,
                                                           c.prevAccel, random, c.key)));
    }
}

TEST_F(ToolsGame, NewTakesDrawsFromAFileAndFailsWhenTheyRunOut) {
    // Level 2 takes 2 x (14 blocks + 1 marker) = 30 draws.
    std::vector<float> draws;
    std::ostringstream text;
    for (int i = 0; i < 30; ++i) {
        const double d = (i * 37 % 100) / 100.0 + 0.004;
        draws.push_back(static_cast<float>(d));
        text << d << (i % 7 == 0 ? "\r\n\n  \n" : "\n");
    }
    std::ofstream(dir_ / "draws.txt") << text.str();
    ok({"new", path("drawn.egf"), "--level", "2", "--draws", path("draws.txt"), "--key", "77"});
    ScriptedRandom scripted(draws);
    EXPECT_EQ(bytesOf("drawn.egf"), asString(expectedNew(2, 5, 300, 0, 0, scripted, 77)));

    // Each draw is a 32-bit float: 0.3750000001 becomes 0.375, whose column 22.5 rounds to 22,
    // and 0.1875000001 becomes 0.1875, whose row 10.5 rounds to 10. Kept as doubles they would
    // give 23 and 11.
    std::ofstream floats(dir_ / "floats.txt");
    for (int i = 0; i < 7; ++i) {  // level 1: 7 blocks, no marker
        floats << "0.3750000001\n0.1875000001\n";
    }
    floats.close();
    ok({"new", path("floats.egf"), "--level", "1", "--draws", path("floats.txt"), "--key", "3"});
    const auto rounded = sg::loadSavedGame(dir_ / "floats.egf");
    ASSERT_TRUE(rounded.ok()) << rounded.error().reason;
    EXPECT_EQ(rounded.value().game.tiles.at(22, 10), tileBlock);
    EXPECT_EQ(rounded.value().game.tiles.at(23, 11), tileEmpty);

    std::ofstream(dir_ / "short.txt") << "0.5\n0.25\n";
    const RunResult r =
        sim({"new", path("short.egf"), "--level", "2", "--draws", path("short.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("ran out of draws"));
    EXPECT_FALSE(fs::exists(dir_ / "short.egf"));
}

TEST_F(ToolsGame, StepZeroTicksReproducesTheFileAndNTicksMatchTheGame) {
    ok({"new", path("start.egf"), "--level", "12", "--seed", "5", "--key", "321"});
    ok({"step", path("start.egf"), path("same.egf"), "--ticks", "0", "--key", "321"});
    EXPECT_EQ(bytesOf("same.egf"), bytesOf("start.egf"));

    const auto start = sg::loadSavedGame(dir_ / "start.egf");
    ASSERT_TRUE(start.ok()) << start.error().reason;
    for (const int ticks : {1, 7, 400}) {
        SCOPED_TRACE(ticks);
        std::vector<std::string> args{"step", path("start.egf"), path("stepped.egf"), "--key", "9"};
        if (ticks != 1) {  // one tick is the default
            args.insert(args.end(), {"--ticks", std::to_string(ticks)});
        }
        ok(args);
        GameState s;
        StandardSliders sliders;
        sg::applyDecodedGame(start.value().game, s, sliders.view());
        for (int i = 0; i < ticks; ++i) {
            Ball_Timer(s);
        }
        EXPECT_EQ(bytesOf("stepped.egf"),
                  asString(sg::encode(s, sg::readSliderValues(sliders.view()), 9)));
    }

    // A game may be stepped in place.
    ok({"step", path("start.egf"), path("start.egf"), "--ticks", "3", "--key", "321"});
    EXPECT_NE(bytesOf("start.egf"), bytesOf("same.egf"));
}

// A game with every kind of tile and distinct values in every variable.
GameState showcase() {
    return kestro::test::distinctState({
        .tiles = {{0, 0, tileWall},
                  {58, 0, tileBlock},
                  {0, 46, tileGoal},
                  {58, 46, tileMarker},
                  {30, 20, tileBall},
                  {1, 1, 3},
                  {2, 1, -1}},
        .variables =
            {
                .cursorX = 11,
                .cursorY = 12,
                .scanX = -13,
                .scanY = 14,
                .lastX = 29,
                .lastY = 21,
                .nextX = 31,
                .nextY = 19,
                .ballX = 30,
                .ballY = 20,
                .minInterval = 201,
                .ballInterval = 390,
                .accelStep = 5,
                .scatterCount = 68,
                .bankedScore = -999999999,
                .score = 999999999,
            },
    });
}

TEST_F(ToolsGame, ShowPrintsTheVariablesThenTheGrid) {
    ASSERT_EQ(kestro::test::reasonOf(
                  sg::saveGameFile(dir_ / "show.egf", showcase(), sg::SliderValues{-1, 20, 80}, 5)),
              std::nullopt);
    const RunResult r = sim({"show", path("show.egf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    const std::vector<std::string> variables{
        "cursorX = 11",      "cursorY = 12",      "scanX = -13",
        "scanY = 14",        "lastX = 29",        "lastY = 21",
        "nextX = 31",        "nextY = 19",        "ballX = 30",
        "ballY = 20",        "minInterval = 201", "ballInterval = 390",
        "accelStep = 5",     "scatterCount = 68", "bankedScore = -999999999",
        "score = 999999999", "SSpeed = -1",       "SAccel = 20",
        "SLvl = 80"};
    ASSERT_EQ(lines.size(), variables.size() + 47) << r.out;
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 19), variables);

    const auto row = [&](int y) { return lines[19 + static_cast<std::size_t>(y)]; };
    for (int y = 0; y < 47; ++y) {
        EXPECT_EQ(row(y).size(), 59u) << "row " << y;
    }
    EXPECT_EQ(row(0), "#" + std::string(57, '.') + "B");
    EXPECT_EQ(row(1).substr(0, 4), ".??.");
    EXPECT_EQ(row(20).substr(29, 3), ".o.");
    EXPECT_EQ(row(46), "G" + std::string(57, '.') + "m");
    EXPECT_EQ(r.out.back(), '\n');
}

TEST_F(ToolsGame, WrongDimensionsLoadWithANote) {
    sg::SaveBytes b = sg::encode(showcase(), sg::SliderValues{}, 5);
    b[8] = 59;
    b[10] = 47;
    kestro::test::writeFile(dir_ / "dims.egf", asString(b));

    const RunResult shown = sim({"show", path("dims.egf")});
    EXPECT_EQ(shown.status, 0);
    EXPECT_THAT(shown.err, HasSubstr(sg::kTamperedMessage));
    EXPECT_THAT(shown.out, HasSubstr("ballX = 30\n"));

    const RunResult stepped =
        sim({"step", path("dims.egf"), path("fixed.egf"), "--ticks", "0", "--key", "5"});
    EXPECT_EQ(stepped.status, 0);
    EXPECT_THAT(stepped.err, HasSubstr(sg::kTamperedMessage));
    // Saved again, the file has the right dimensions and nothing else changes.
    EXPECT_EQ(bytesOf("fixed.egf"), asString(sg::encode(showcase(), sg::SliderValues{}, 5)));
}

// Every error is one line on stderr, status 1, nothing on stdout, no file written.
TEST_F(ToolsGame, ErrorsAreOneLineAndStatusOne) {
    ASSERT_EQ(kestro::test::reasonOf(
                  sg::saveGameFile(dir_ / "good.egf", showcase(), sg::SliderValues{}, 5)),
              std::nullopt);
    sg::SaveBytes outside = sg::encode(showcase(), sg::SliderValues{}, 5);
    outside[sg::kVariablesOffset + 4 * 8] ^= 0x40;  // ballX 30 becomes 94
    kestro::test::writeFile(dir_ / "outside.egf", asString(outside));
    std::ofstream(dir_ / "version.egf") << "EGF1.0br" << std::string(11176, '\0');
    std::ofstream(dir_ / "bad-draws.txt") << "0.5\nhalf\n";
    std::ofstream(dir_ / "big-draws.txt") << "0.5\n1.5\n";

    const struct {
        std::vector<std::string> args;
        std::string mentions;
    } cases[] = {
        {{"new"}, "missing OUT.egf"},
        {{"new", path("x.egf"), "--level", "81"}, "--level"},
        {{"new", path("x.egf"), "--level", "-1"}, "--level"},
        {{"new", path("x.egf"), "--accel", "0"}, "--accel"},
        {{"new", path("x.egf"), "--accel", "21"}, "--accel"},
        {{"new", path("x.egf"), "--speed", "-2"}, "--speed"},
        {{"new", path("x.egf"), "--speed", "501"}, "--speed"},
        {{"new", path("x.egf"), "--level", "two"}, "--level"},
        {{"new", path("x.egf"), "--level"}, "--level needs a value"},
        {{"new", path("x.egf"), "--level", "1", "--level", "2"}, "twice"},
        {{"new", path("x.egf"), "--banked", "2147483648"}, "--banked"},
        {{"new", path("x.egf"), "--key", "86401"}, "--key"},
        {{"new", path("x.egf"), "--key", "-1"}, "--key"},
        {{"new", path("x.egf"), "--seed", "1", "--draws", path("short.txt")}, "--seed"},
        {{"new", path("x.egf"), "--seed", "-1"}, "--seed"},
        {{"new", path("x.egf"), "--draws", path("none.txt")}, "none.txt"},
        {{"new", path("x.egf"), "--draws", path("bad-draws.txt")}, "line 2"},
        {{"new", path("x.egf"), "--draws", path("big-draws.txt")}, "line 2"},
        {{"new", path("x.egf"), "--colour", "red"}, "unknown option '--colour'"},
        {{"new", path("x.egf"), path("y.egf")}, "unexpected argument"},
        {{"new", path("no-such-folder/x.egf"), "--seed", "1"}, "No such file or directory"},
        {{"step", path("good.egf")}, "missing OUT.egf"},
        {{"step", path("good.egf"), path("x.egf"), "--ticks", "-1"}, "--ticks"},
        {{"step", path("none.egf"), path("x.egf")}, "none.egf"},
        {{"step", path("outside.egf"), path("x.egf")}, "outside the grid"},
        {{"step", path("version.egf"), path("x.egf")}, std::string(sg::kWrongVersionMessage)},
        {{"show"}, "missing IN.egf"},
        {{"show", path("outside.egf")}, "ball's cell (94, "},
        {{"show", path("good.egf"), "--ticks", "1"}, "unknown option"},
        {{"show", dir_.string()}, "'" + dir_.string() + "'"},
    };
    for (const auto& c : cases) {
        std::string command;
        for (const auto& a : c.args) {
            command += a + " ";
        }
        SCOPED_TRACE(command);
        const RunResult r = sim(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.rfind("kestro-sim: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_THAT(r.err, HasSubstr(c.mentions));
        EXPECT_FALSE(fs::exists(dir_ / "x.egf"));
    }
}

// Files the format accepts but the game cannot run from are refused by every command that loads
// a game, with the reason on one line, and nothing is written.
TEST_F(ToolsGame, GamesTheGameCannotRunAreRefusedByEveryCommand) {
    const auto noGoals = [](GameState& s) {
        for (const Cell& g : kGoalCells) {
            s.tiles.set(g.x, g.y, tileEmpty);
        }
    };
    const struct {
        const char* file;
        std::function<void(GameState&)> change;
        std::string reason;
    } hostile[] = {
        {"accel.egf", [](GameState& s) { s.accelStep = -32768; }, "accelStep is -32768"},
        {"accel-big.egf", [](GameState& s) { s.accelStep = 16384; }, "accelStep is 16384"},
        {"interval.egf", [](GameState& s) { s.ballInterval = -31268; }, "ballInterval is -31268"},
        {"score-min.egf", [](GameState& s) { s.score = std::numeric_limits<std::int32_t>::min(); },
         "score is -2147483648"},
        {"score-max.egf",
         [&](GameState& s) {
             s.score = std::numeric_limits<std::int32_t>::max();
             noGoals(s);
         },
         "score is 2147483647"},
        {"previous.egf",
         [](GameState& s) {
             s.lastX = 26;
             s.lastY = 16;
         },
         "the ball's previous cell (26, 16) is not one diagonal step from the ball's cell (30, "
         "20)"},
    };
    for (const auto& h : hostile) {
        GameState s = showcase();
        h.change(s);
        ASSERT_EQ(kestro::test::reasonOf(sg::saveGameFile(dir_ / h.file, s, sg::SliderValues{}, 5)),
                  std::nullopt);
        const std::vector<std::vector<std::string>> commands = {
            {"show", path(h.file)},
            {"step", path(h.file), path("x.egf")},
            {"play", path(h.file), "--ms", "2000", "--seed", "1", "--out", path("x.egf")},
            {"render", path(h.file), path("x.png")},
        };
        for (const auto& args : commands) {
            SCOPED_TRACE(args[0] + " " + h.file);
            const RunResult r = sim(args);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            const std::string expected = "kestro-sim: " + args[0] + ": " + path(h.file) +
                                         ": Sorry, this file cannot be loaded: " + h.reason;
            EXPECT_EQ(r.err.rfind(expected, 0), 0u) << r.err;
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
            EXPECT_FALSE(fs::exists(dir_ / "x.egf"));
            EXPECT_FALSE(fs::exists(dir_ / "x.png"));
        }
    }
}

// new builds only games that load again: the options that set the stored values directly are
// refused beyond their ranges, naming the option and the range, and their ends load.
TEST_F(ToolsGame, NewRefusesABankedScoreOrPreviousAccelerationTheGameCannotHold) {
    const struct {
        std::vector<std::string> options;
        std::string refusal;  // empty: the game is built and loads
    } cases[] = {
        {{"--banked", "2147483647"}, "--banked must lie between -1000000000 and 999998612"},
        {{"--banked", "999998613", "--level", "80", "--accel", "20", "--speed", "500"},
         "--banked must lie between -1000000000 and 999998612"},
        {{"--banked", "-1000000001"}, "--banked must lie between -1000000000 and 999998612"},
        {{"--prev-accel", "16384"}, "--prev-accel must lie between 0 and 20"},
        {{"--prev-accel", "-1"}, "--prev-accel must lie between 0 and 20"},
        {{"--prev-accel", "21"}, "--prev-accel must lie between 0 and 20"},
        {{"--banked", "999998612", "--level", "80", "--accel", "20", "--speed", "500",
          "--prev-accel", "20"},
         ""},
        {{"--banked", "-1000000000", "--level", "0", "--speed", "-1", "--prev-accel", "0"}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"new", path("x.egf"), "--seed", "2", "--key", "9"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        SCOPED_TRACE(c.options[0] + " " + c.options[1]);
        const RunResult r = sim(args);
        if (c.refusal.empty()) {
            ASSERT_EQ(r.status, 0) << r.err;
            const RunResult shown = sim({"show", path("x.egf")});
            EXPECT_EQ(shown.status, 0) << shown.err;
            fs::remove(dir_ / "x.egf");
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "kestro-sim: new: " + c.refusal + ", not " + c.options[1] + "\n");
        EXPECT_FALSE(fs::exists(dir_ / "x.egf"));
    }
}

}  // namespace
}  // namespace kestro::sim
