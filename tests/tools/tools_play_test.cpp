// kestro-sim play, run as the separate program outside scripts use, against the game driven
// in-process by play() with the same times and moves.

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "game/display.h"
#include "game/events.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/level.h"
#include "game/playfield.h"
#include "game/random.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/game_file.h"
#include "savegame/messages.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/long_play.h"
#include "tests/tools/play_moves.h"
#include "tests/tools/run_sim.h"

namespace kestro::sim {
namespace {

namespace fs = std::filesystem;
namespace sg = kestro::savegame;
using test::Move;
using test::RunResult;

// The four cells the goals of every level stand on.

class ToolsPlay : public test::SimFolder {
  protected:
    ToolsPlay() : SimFolder("kestro-tools-play") {}
    sg::DecodedGame decoded(const std::string& name) const {
        auto r = sg::loadSavedGame(dir_ / name);
        EXPECT_TRUE(r.ok()) << name << ": " << (r.ok() ? "" : r.error().reason);
        return r.ok() ? r.value().game : sg::DecodedGame{};
    }
    // Saves the game of `from` changed by edit as `to`.
    template <class Edit>
    void rewrite(const std::string& from, const std::string& to, Edit edit) const {
        sg::DecodedGame g = decoded(from);
        edit(g);
        kestro::test::writeFile(dir_ / to, asString(sg::encode(g)));
    }
    void writePointer(const std::string& name, const std::vector<Move>& moves) const {
        kestro::test::writeFile(dir_ / name, pointerFileText(moves));
    }
    static std::string asString(const sg::SaveBytes& b) { return std::string(b.begin(), b.end()); }
};

void removeGoals(sg::DecodedGame& g) {
    for (const Cell& c : kGoalCells) {
        g.tiles.set(c.x, c.y, tileEmpty);
    }
}

// The four numbers of "ticks=a/b/c/d" in the end line.
std::vector<std::int64_t> ticksOf(const std::string& out) {
    const auto at = out.rfind("ticks=");
    std::istringstream in(out.substr(at + 6));
    std::vector<std::int64_t> ticks(4);
    char slash = 0;
    in >> ticks[0] >> slash >> ticks[1] >> slash >> ticks[2] >> slash >> ticks[3];
    return ticks;
}

// The whole output and the saved end state are those of the game run in-process; the accel and
// LevelUp timers tick every 200 and 150 ms whatever the game does.
TEST_F(ToolsPlay, PrintsAndSavesWhatTheGameDoes) {
    struct Case {
        std::int32_t level;
        std::optional<Millis> ms;  // nothing: the default minute
        std::uint64_t seed;
        std::vector<Move> moves;
        std::vector<std::string> tile;  // --tile's two values, or none
    };
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> px(0.0f, static_cast<float>(kDesignFieldWidth)),
        py(0.0f, static_cast<float>(kDesignFieldHeight));
    std::vector<Move> wandering;
    for (Millis ms = 0; ms < 70000; ms += 7 + static_cast<Millis>(rng() % 300)) {
        wandering.push_back(Move{ms, px(rng), py(rng)});
        if (rng() % 4 == 0) {  // several moves in one millisecond
            wandering.push_back(Move{ms, px(rng), py(rng)});
        }
    }
    const Case cases[] = {
        {1, 1000, 3, {}, {}},
        {12, 0, 4, {}, {}},
        {3, std::nullopt, 5, wandering, {}},
        {40, 30000, 6, wandering, {"12.5", "9.75"}},
        {0, 45000, 7, wandering, {"3", "30"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level));
        ok({"new", path("start.egf"), "--level", std::to_string(c.level), "--seed", "42", "--key",
            "1000"});
        writePointer("pointer.txt", c.moves);
        std::vector<std::string> args{"play",      path("start.egf"),
                                      "--seed",    std::to_string(c.seed),
                                      "--pointer", path("pointer.txt"),
                                      "--out",     path("end.egf"),
                                      "--key",     "99"};
        if (c.ms) {
            args.insert(args.end(), {"--ms", std::to_string(*c.ms)});
        }
        float tileW = test::kLayoutTileW, tileH = test::kLayoutTileH;
        if (!c.tile.empty()) {
            args.insert(args.end(), {"--tile", c.tile[0], c.tile[1]});
            tileW = std::stof(c.tile[0]);
            tileH = std::stof(c.tile[1]);
        }
        const RunResult r = sim(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");

        const Millis end = c.ms.value_or(60000);
        SeededRandom random(c.seed);
        const test::PlayResult expected =
            test::playInProcess(decoded("start.egf"), end, random, c.moves, tileW, tileH);
        EXPECT_EQ(r.out, expected.out);
        EXPECT_EQ(bytesOf("end.egf"), asString(sg::encode(expected.state, expected.sliders, 99)));
        const auto ticks = ticksOf(r.out);
        EXPECT_EQ(ticks[1], end / 200);
        EXPECT_EQ(ticks[2], end / 150);
        if (end == 0) {
            EXPECT_EQ(ticks, (std::vector<std::int64_t>{0, 0, 0, 0}));
        }
    }
}

TEST_F(ToolsPlay, LevelEndsPrintTheirLinesAtTheTickThatEndedThem) {
    struct Case {
        const char* what;
        std::vector<std::string> newOptions;
        bool goalsGone;
        Millis ms;
        std::string events;  // the lines before the end line
        std::int32_t savedLevelSlider;
    };
    const Case cases[] = {
        // Banked 60 (level 1's score) + (2 * 0.05 * 40 + 300 + 2 * 5) * 0.2 = 122.8.
        {"completed", {"--level", "1"}, true, 150, "150 complete level=2 score=123\n", 2},
        // Banked 1340 + (300 + 2 * 5) * 0.2 at level 0.
        {"last level completed",
         {"--level", "80"},
         true,
         150,
         "150 message Congratulations, you have über skillz\n150 complete level=0 score=1402\n",
         0},
        // A score of 1 runs out at the first Score tick; the same level again from nothing:
        // (5 + 2 * 5) * 0.2.
        {"lost",
         {"--level", "0", "--speed", "5", "--banked", "0", "--prev-accel", "0"},
         false,
         500,
         "500 message Lmao...-_- you lost, try again :p\n500 lost level=0 score=3\n",
         0},
        // Nothing ends a moment earlier.
        {"before the tick", {"--level", "80"}, true, 149, "", 80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args{"new", path("made.egf"), "--seed", "8", "--key", "1"};
        args.insert(args.end(), c.newOptions.begin(), c.newOptions.end());
        ok(args);
        rewrite("made.egf", "start.egf", [&](sg::DecodedGame& g) {
            if (c.goalsGone) {
                removeGoals(g);
            }
        });
        const RunResult r = sim({"play", path("start.egf"), "--ms", std::to_string(c.ms), "--seed",
                                 "9", "--out", path("end.egf"), "--key", "2"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.rfind("end ms=")), c.events);
        SeededRandom random(9);
        EXPECT_EQ(r.out, test::playInProcess(decoded("start.egf"), c.ms, random).out);
        EXPECT_EQ(decoded("end.egf").sliders.SLvl, c.savedLevelSlider);
    }
}

// Only lines that begin "<ms> event " with a known name; without them the output is the play's.
TEST_F(ToolsPlay, EventsAddTheirLinesAndChangeNothingElse) {
    struct Case {
        const char* what;
        std::vector<std::string> newOptions;
        Millis ms;
        std::string firstLines;  // how the output begins, or "" to check the rest only
    };
    const Case cases[] = {
        {"a long play", {"--level", "12"}, 60000, ""},
        {"a loss comes before its message",
         {"--level", "0", "--speed", "5", "--banked", "0", "--prev-accel", "0"},
         500,
         "500 event level-lost\n500 message Lmao...-_- you lost, try again :p\n"},
    };
    std::vector<Move> moves;
    for (Millis ms = 0; ms < 60000; ms += 173) {
        moves.push_back(
            Move{ms, static_cast<float>((ms * 7) % 580), static_cast<float>((ms * 3) % 520)});
    }
    writePointer("pointer.txt", moves);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args{"new", path("start.egf"), "--seed", "8", "--key", "1"};
        args.insert(args.end(), c.newOptions.begin(), c.newOptions.end());
        ok(args);
        const std::vector<std::string> play{
            "play",      path("start.egf"),  "--ms", std::to_string(c.ms), "--seed", "9",
            "--pointer", path("pointer.txt")};
        const RunResult plain = sim(play);
        std::vector<std::string> withEvents = play;
        withEvents.push_back("--events");
        const RunResult heard = sim(withEvents);
        ASSERT_EQ(heard.status, 0) << heard.err;
        EXPECT_EQ(heard.out.substr(0, c.firstLines.size()), c.firstLines);

        std::istringstream lines(heard.out);
        std::string line, rest;
        Millis last = 0;
        std::size_t events = 0;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string ms, kind, name;
            words >> ms >> kind >> name;
            if (kind != "event") {
                rest += line + "\n";
                continue;
            }
            ++events;
            EXPECT_NE(std::find(kGameEventNames.begin(), kGameEventNames.end(), name),
                      kGameEventNames.end())
                << line;
            EXPECT_GE(std::stoll(ms), last) << line;
            last = std::stoll(ms);
        }
        EXPECT_GT(events, 0u);
        EXPECT_EQ(rest, plain.out);
    }
}

TEST_F(ToolsPlay, PointerMovesLeaveTheirWallUntilTheEnd) {
    struct Case {
        std::vector<std::string> tileArgs;
        float tileW, tileH;
        int x, y;
    };
    const Case cases[] = {
        {{}, test::kLayoutTileW, test::kLayoutTileH, 20, 10},
        {{"--tile", "10", "10"}, 10.0f, 10.0f, 5, 40},
        {{"--tile=6.5", "14"}, 6.5f, 14.0f, 50, 3},
    };
    ok({"new", path("start.egf"), "--level", "0", "--seed", "1", "--key", "1"});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        // The second move comes after the end and is not delivered: it would lift the wall.
        const std::vector<Move> moves{test::moveOnto(1000, c.x, c.y, c.tileW, c.tileH),
                                      test::moveOnto(2001, 30, 30, c.tileW, c.tileH)};
        writePointer("pointer.txt", moves);
        std::vector<std::string> args{"play",      path("start.egf"),
                                      "--ms",      "2000",
                                      "--seed",    "1",
                                      "--out",     path("end.egf"),
                                      "--pointer", path("pointer.txt"),
                                      "--key",     "1"};
        args.insert(args.end(), c.tileArgs.begin(), c.tileArgs.end());
        ok(args);
        const sg::DecodedGame end = decoded("end.egf");
        EXPECT_EQ(end.tiles.at(c.x, c.y), tileWall);
        EXPECT_EQ(end.variables.cursorX, c.x);
        EXPECT_EQ(end.variables.cursorY, c.y);
        EXPECT_EQ(end.tiles.at(30, 30), tileEmpty);
    }
}

// A wall put in front of the ball in the millisecond of its tick turns the ball back; delivered
// after the tick it would find the ball on its cell and not be built.
TEST_F(ToolsPlay, AMoveComesBeforeTheTimersOfItsMillisecond) {
    ok({"new", path("start.egf"), "--level", "0", "--seed", "1", "--key", "1"});
    const sg::DecodedGame start = decoded("start.egf");
    // The time of the first Ball tick.
    Millis tick = 0;
    while (true) {
        SeededRandom random(1);
        ++tick;
        const std::string out = test::playInProcess(start, tick, random).out;
        if (ticksOf(out)[static_cast<std::size_t>(TimerId::Ball)] != 0) {
            break;
        }
    }
    const auto& v = start.variables;
    const int frontX = 2 * v.ballX - v.lastX, frontY = 2 * v.ballY - v.lastY;
    ASSERT_EQ(start.tiles.at(frontX, frontY), tileEmpty);
    const std::vector<Move> moves{test::moveOnto(tick, frontX, frontY)};
    writePointer("pointer.txt", moves);

    ok({"play", path("start.egf"), "--ms", std::to_string(tick), "--seed", "1", "--pointer",
        path("pointer.txt"), "--out", path("end.egf"), "--key", "1"});
    const sg::DecodedGame end = decoded("end.egf");
    EXPECT_EQ(end.tiles.at(frontX, frontY), tileWall);
    EXPECT_FALSE(end.variables.ballX == frontX && end.variables.ballY == frontY);

    SeededRandom first(1);
    const auto expected = test::playInProcess(start, tick, first, moves);
    EXPECT_EQ(bytesOf("end.egf"), asString(sg::encode(expected.state, expected.sliders, 1)));
    // The same move after the timers of its millisecond ends elsewhere.
    StandardSliders sliders;
    NullDisplay display;
    SeededRandom after(1);
    Game late(sliders.view(), after, display);
    sg::applyDecodedGame(start, late.state(), sliders.view());
    late.state().tileW = test::kLayoutTileW;
    late.state().tileH = test::kLayoutTileH;
    late.setPaused(false, 0);
    late.advanceTo(tick);
    late.mouseMove(moves[0].x, moves[0].y);
    EXPECT_NE(late.state(), expected.state);
}

// Every error is one line on stderr naming play, status 1, nothing on stdout, nothing saved.
TEST_F(ToolsPlay, ErrorsAreOneLineAndStatusOne) {
    ok({"new", path("good.egf"), "--level", "1", "--seed", "3", "--key", "5"});
    rewrite("good.egf", "goalless.egf", removeGoals);
    rewrite("good.egf", "hostile.egf", [](sg::DecodedGame& g) {
        g.variables.score = std::numeric_limits<std::int32_t>::min();
    });
    sg::SaveBytes outside = sg::encode(GameState{}, sg::SliderValues{}, 5);
    outside[sg::kVariablesOffset + 4 * 8] = 94;  // ballX
    kestro::test::writeFile(dir_ / "outside.egf", asString(outside));
    std::ofstream(dir_ / "version.egf") << "EGF1.0br" << std::string(11176, '\0');
    const std::pair<const char*, const char*> pointerFiles[] = {
        {"word.txt", "10 1 2\n20 x 3\n"},    {"short.txt", "10 1 2\n\n20 3\n"},
        {"long.txt", "10 1 2 3\n"},          {"fraction.txt", "10.5 1 2\n"},
        {"nan.txt", "10 nan 2\n"},           {"huge.txt", "10 1e39 2\n"},
        {"back.txt", "10 1 2\n\n  9 1 2\n"}, {"negative.txt", "-1 1 2\n"},
        {"control.txt", "10 1\x01 2\n"},
    };
    for (const auto& [name, text] : pointerFiles) {
        kestro::test::writeFile(dir_ / name, text);
    }
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    { std::ofstream(dir_ / "big.txt"); }
    fs::resize_file(dir_ / "big.txt", (std::uintmax_t{64} << 20) + 1);  // sparse
    kestro::test::writeFile(dir_ / "draws.txt", "0.5\n0.25\n");

    const struct {
        std::vector<std::string> args;  // after "play --out x.egf"
        std::string mentions;
    } cases[] = {
        {{}, "missing IN.egf"},
        {{path("good.egf"), path("other.egf")}, "unexpected argument"},
        {{path("good.egf"), "--ticks", "1"}, "unknown option '--ticks'"},
        {{path("none.egf")}, "none.egf"},
        {{path("outside.egf")}, "outside the grid"},
        {{path("version.egf")}, std::string(sg::kWrongVersionMessage)},
        {{dir_.string()}, "'" + dir_.string() + "'"},
        {{path("good.egf"), "--ms", "-1"}, "--ms"},
        {{path("good.egf"), "--ms", "10000000001"}, "--ms must lie between 0 and 10000000000"},
        {{path("good.egf"), "--ms", "1.5"}, "--ms"},
        {{path("good.egf"), "--tile", "0", "5"}, "--tile"},
        {{path("good.egf"), "--tile", "5", "-1"}, "--tile"},
        {{path("good.egf"), "--tile", "inf", "5"}, "--tile"},
        {{path("good.egf"), "--tile", "5"}, "--tile needs two values"},
        {{path("good.egf"), "--tile", "5", "--ms", "10"}, "--tile needs two values"},
        {{path("good.egf"), "--tile", "5", "5", "--tile", "6", "6"}, "twice"},
        {{path("good.egf"), "--events=yes"}, "--events takes no value"},
        {{path("good.egf"), "--events", "--events"}, "--events is given twice"},
        {{path("good.egf"), "--seed", "1", "--draws", path("draws.txt")}, "together"},
        {{path("goalless.egf"), "--draws", path("draws.txt")}, "ran out of draws"},
        {{path("hostile.egf"), "--seed", "1", "--ms", "500"},
         "hostile.egf: Sorry, this file cannot be loaded: score is -2147483648"},
        {{path("good.egf"), "--pointer", path("word.txt")},
         "word.txt' line 2: the x position 'x' is not a number of pixels"},
        {{path("good.egf"), "--pointer", path("short.txt")},
         "short.txt' line 3: '20 3' is not a move: a move is three numbers 'MS X Y'"},
        {{path("good.egf"), "--pointer", path("long.txt")},
         "long.txt' line 1: '10 1 2 3' is not a move"},
        {{path("good.egf"), "--pointer", path("fraction.txt")},
         "fraction.txt' line 1: the time '10.5' is not a whole number of milliseconds"},
        {{path("good.egf"), "--pointer", path("nan.txt")},
         "nan.txt' line 1: the x position 'nan' is not a number of pixels"},
        {{path("good.egf"), "--pointer", path("huge.txt")},
         "huge.txt' line 1: the x position '1e39' is too large"},
        {{path("good.egf"), "--pointer", path("back.txt")},
         "back.txt' line 3: the time 9 comes before the previous move's 10"},
        {{path("good.egf"), "--pointer", path("negative.txt")},
         "negative.txt' line 1: the time -1 is negative"},
        {{path("good.egf"), "--pointer", path("control.txt")},
         "control.txt' line 1: the x position '1?' is not a number"},
        {{path("good.egf"), "--pointer", path("fifo")}, "not a regular file"},
        {{path("good.egf"), "--pointer", dir_.string()}, "is a folder"},
        {{path("good.egf"), "--pointer", path("big.txt")}, "larger than 64 MiB"},
        {{path("good.egf"), "--pointer", path("absent.txt")}, "absent.txt"},
        {{path("good.egf"), "--key", "86401"}, "--key"},
        {{path("good.egf"), "--autopilot", "--pointer", path("draws.txt")},
         "--autopilot and --pointer cannot be used together"},
        {{path("good.egf"), "--moves-out", path("moves.txt")}, "--moves-out needs --autopilot"},
        {{path("good.egf"), "--autopilot=yes"}, "--autopilot takes no value"},
        {{path("good.egf"), "--autopilot", "--moves-out", dir_.string()}, dir_.string()},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"play", "--out", path("x.egf")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string command;
        for (const auto& a : args) {
            command += a + " ";
        }
        SCOPED_TRACE(command);
        const RunResult r = sim(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.rfind("kestro-sim: play: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir_ / "x.egf"));
    }

    // A refused game reads as it does for show.
    for (const std::string& refused :
         {path("none.egf"), path("outside.egf"), path("version.egf"), dir_.string()}) {
        SCOPED_TRACE(refused);
        const std::string shown = sim({"show", refused}).err;
        const std::string played = sim({"play", refused, "--seed", "1"}).err;
        ASSERT_EQ(shown.rfind("kestro-sim: show: ", 0), 0u) << shown;
        EXPECT_EQ(played, "kestro-sim: play: " + shown.substr(18));
    }
}

// The computer's moves, kept with --moves-out, play the same run again through --pointer, at
// the layout's cell size and at another; from level 1 it completes a level within a minute.
TEST_F(ToolsPlay, TheAutopilotsMovesPlayTheSameRunAgain) {
    const struct {
        const char* level;
        std::vector<std::string> tile;
    } cases[] = {{"1", {}}, {"40", {}}, {"60", {"--tile", "7.5", "13.25"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("level ") + c.level);
        ok({"new", path("start.egf"), "--level", c.level, "--seed", "4", "--key", "5"});
        std::vector<std::string> play{"play", path("start.egf"), "--seed", "4", "--ms", "60000"};
        play.insert(play.end(), c.tile.begin(), c.tile.end());
        std::vector<std::string> autopilot = play;
        autopilot.insert(autopilot.end(), {"--autopilot", "--moves-out", path("moves.txt"), "--out",
                                           path("auto.egf"), "--key", "5"});
        std::vector<std::string> replay = play;
        replay.insert(replay.end(),
                      {"--pointer", path("moves.txt"), "--out", path("replay.egf"), "--key", "5"});

        const RunResult played = sim(autopilot);
        ASSERT_EQ(played.status, 0) << played.err;
        EXPECT_EQ(played.err, "");
        EXPECT_NE(played.out.find(" complete level="), std::string::npos) << played.out;
        EXPECT_FALSE(bytesOf("moves.txt").empty());
        const RunResult again = sim(replay);
        ASSERT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.out, played.out);
        EXPECT_EQ(bytesOf("replay.egf"), bytesOf("auto.egf"));
        // Without the moves the game goes otherwise.
        EXPECT_NE(sim(play).out, played.out);
    }
}

// stdout on a full device: the failed write is reported, not lost.
TEST_F(ToolsPlay, AFailedWriteToStdoutIsAnError) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    ok({"new", path("good.egf"), "--seed", "3", "--key", "5"});
    const RunResult r = kestro::test::runProgramFrom(
        KESTRO_SIM, {"play", path("good.egf"), "--seed", "1"}, "/dev/null", "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kestro-sim: play: cannot write to standard output\n");
}

// Ten minutes of the long run; an hour of it is the soak test.
TEST_F(ToolsPlay, TenMinutesAtLevel40AreRepeatable) {
    test::expectLongPlayRepeatable(600'000, dir_);
}

}  // namespace
}  // namespace kestro::sim
