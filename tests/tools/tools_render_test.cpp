// kestro-sim render, run as a separate program without a display: the PNG shows the saved
// game's tiles in their colours at their cells.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QSize>
#include <QString>

#include "game/display.h"
#include "game/game_state.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/game_file.h"
#include "savegame/slider_values.h"
#include "tests/support/files.h"
#include "tests/support/levels.h"
#include "tests/support/result.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/run_sim.h"

namespace kestro::sim {
namespace {

using kestro::test::ScopedEnv;
using test::runSim;

const std::map<std::int16_t, QRgb> kTileColours = {
    {tileWall, qRgb(0, 0, 0)},   {tileBall, qRgb(0, 0, 255)},   {tileBlock, qRgb(64, 64, 255)},
    {tileGoal, qRgb(0, 255, 0)}, {tileMarker, qRgb(255, 0, 0)},
};

class ToolsRender : public ::testing::Test {
  protected:
    // A level laid out by the game and saved as the game saves it.
    GameState saveLevel(const std::filesystem::path& path, std::int32_t level, std::uint64_t seed) {
        kestro::test::LaidLevel laid(level, seed);
        EXPECT_FALSE(kestro::test::reasonOf(savegame::saveGameFile(
            path, laid.state, savegame::readSliderValues(laid.sliders.view()), 1234)));
        return laid.state;
    }

    // Checks the pixel at the middle of every cell against the tile there.
    static void expectCells(const QImage& image, const GameState& s, int width, int height,
                            const std::map<std::int16_t, QRgb>& tileColours = kTileColours) {
        const float tileW = static_cast<float>(width / 59.0);
        const float tileH = static_cast<float>(height / 47.0);
        std::map<std::int16_t, int> seen;
        for (int x = 0; x < kCols; ++x) {
            for (int y = 0; y < kRows; ++y) {
                const int px = static_cast<int>(static_cast<float>(x) * tileW + tileW / 2);
                const int py = static_cast<int>(static_cast<float>(y) * tileH + tileH / 2);
                const QRgb pixel = image.pixel(px, py);
                const std::int16_t code = s.tiles.at(x, y);
                const auto colour = tileColours.find(code);
                if (colour != tileColours.end()) {
                    EXPECT_EQ(pixel, colour->second) << "cell " << x << "," << y;
                    ++seen[code];
                } else {
                    ASSERT_EQ(code, tileEmpty);
                    for (const auto& [other, rgb] : tileColours) {
                        EXPECT_NE(pixel, rgb) << "empty cell " << x << "," << y;
                    }
                }
            }
        }
        EXPECT_GE(seen[tileWall], 208);
        EXPECT_EQ(seen[tileBall], 1);
        EXPECT_EQ(seen[tileGoal], 4);
    }

    const kestro::test::TempDir tempDir_{"kestro-render"};
    const std::filesystem::path dir_ = tempDir_.path();
};

TEST_F(ToolsRender, DrawsALevelWithoutADisplay) {
    const auto game = dir_ / "level.egf";
    const auto png = dir_ / "level.png";
    const GameState s = saveLevel(game, 80, 7);
    ASSERT_GT(std::count(s.tiles.cells().begin(), s.tiles.cells().end(), tileBlock), 0);
    ASSERT_GT(std::count(s.tiles.cells().begin(), s.tiles.cells().end(), tileMarker), 0);

    const ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
    const ScopedEnv display("DISPLAY", std::nullopt);
    const ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    const auto r = runSim({"render", game.string(), png.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
    EXPECT_EQ(image.size(), QSize(582, 525));
    expectCells(image, s, 582, 525);
}

TEST_F(ToolsRender, SizeOptionsSetTheCellSize) {
    const auto game = dir_ / "level.egf";
    const GameState s = saveLevel(game, 20, 3);
    struct Case {
        std::vector<std::string> options;
        int width, height;
    };
    const Case cases[] = {
        {{"--width", "118", "--height", "94"}, 118, 94},
        {{"--height", "470"}, 582, 470},
        {{"--width", "1180"}, 1180, 525},
        {{"--width=59", "--height=+47"}, 59, 47},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const auto png = dir_ / "sized.png";
        std::vector<std::string> args = {"render", game.string(), png.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto r = runSim(args);
        ASSERT_EQ(r.status, 0) << r.err;
        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
        EXPECT_EQ(image.size(), QSize(c.width, c.height));
        expectCells(image, s, c.width, c.height);
    }
}

// --palette classic is the picture without the option, byte for byte; high contrast draws each
// tile in its own colour on black and marks the pointer's wall inside.
TEST_F(ToolsRender, PaletteOptionRecoloursThePicture) {
    const auto game = dir_ / "level.egf";
    kestro::test::LaidLevel laid(41, 11);
    GameState& s = laid.state;
    const int py = 20;  // an empty cell of this row becomes the pointer's wall
    for (int x = 1; x < kCols; ++x) {
        if (s.tiles.at(x, py) == tileEmpty) {
            s.tiles.set(x, py, tileWall);
            s.cursorX = static_cast<std::int16_t>(x);
            s.cursorY = py;
            break;
        }
    }
    ASSERT_NE(s.cursorX, 0);
    ASSERT_FALSE(kestro::test::reasonOf(
        savegame::saveGameFile(game, s, savegame::readSliderValues(laid.sliders.view()), 1234)));

    const auto plain = dir_ / "plain.png";
    const auto classic = dir_ / "classic.png";
    const auto hc = dir_ / "hc.png";
    ASSERT_EQ(runSim({"render", game.string(), plain.string()}).status, 0);
    const auto r1 = runSim({"render", game.string(), classic.string(), "--palette", "classic"});
    ASSERT_EQ(r1.status, 0) << r1.err;
    const auto r2 = runSim({"render", game.string(), hc.string(), "--palette=high-contrast"});
    ASSERT_EQ(r2.status, 0) << r2.err;
    EXPECT_EQ(r2.err, "");
    EXPECT_EQ(kestro::test::readFile(classic), kestro::test::readFile(plain));

    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(hc.string()), "PNG"));
    const std::map<std::int16_t, QRgb> highContrast = {
        {tileBall, qRgb(240, 228, 66)},
        {tileBlock, qRgb(0, 114, 178)},
        {tileGoal, qRgb(86, 180, 233)},
        {tileMarker, qRgb(168, 38, 64)},
    };
    GameState withoutPointer = s;
    withoutPointer.tiles.set(s.cursorX, s.cursorY, tileEmpty);
    // The pointer's cell is checked on its own; every other wall is white.
    std::map<std::int16_t, QRgb> colours = highContrast;
    colours[tileWall] = qRgb(255, 255, 255);
    expectCells(image, withoutPointer, 582, 525, colours);
    const float tileW = static_cast<float>(582 / 59.0);
    const float tileH = static_cast<float>(525 / 47.0);
    const int cx = static_cast<int>(static_cast<float>(s.cursorX) * tileW + tileW / 2);
    const int cy = static_cast<int>(static_cast<float>(s.cursorY) * tileH + tileH / 2);
    EXPECT_EQ(image.pixel(cx, cy), qRgb(204, 121, 167));
}

TEST_F(ToolsRender, ErrorsAreOneLineAndStatusOne) {
    const auto game = dir_ / "level.egf";
    saveLevel(game, 1, 5);
    const auto shortFile = dir_ / "short.egf";
    std::ofstream(shortFile, std::ios::binary) << "EGF1.0BR";
    const std::string png = (dir_ / "out.png").string();
    const std::vector<std::vector<std::string>> cases = {
        {"render"},
        {"render", game.string()},
        {"render", game.string(), png, "extra"},
        {"render", game.string(), png, "--width"},
        {"render", game.string(), png, "--width", "0"},
        {"render", game.string(), png, "--width", "wide"},
        {"render", game.string(), png, "--height", "100000"},
        {"render", game.string(), png, "--depth", "3"},
        {"render", (dir_ / "missing.egf").string(), png},
        {"render", shortFile.string(), png},
        {"render", game.string(), (dir_ / "no" / "such" / "folder.png").string()},
        {"render", game.string(), png, "--width=0"},
        {"render", game.string(), png, "--height="},
        {"render", game.string(), png, "--width", "30", "--width", "40"},
        {"render", game.string(), png, "--width=30", "--width=30"},
        {"render", game.string(), png, "--palette"},
        {"render", game.string(), png, "--palette", "dark"},
        {"render", game.string(), png, "--palette=High-Contrast"},
        {"render", game.string(), png, "--palette="},
        {"render", game.string(), png, "--palette", "classic", "--palette", "classic"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        const auto r = runSim(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("kestro-sim: render: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    // The same wording as the other commands' options.
    const std::pair<std::vector<std::string>, std::string> worded[] = {
        {{"--width", "30", "--width", "40"}, "--width is given twice"},
        {{"--width=wide"}, "--width needs a whole number, not 'wide'"},
        {{"--height=8193"}, "--height must lie between 1 and 8192, not 8193"},
        {{"--depth=3"}, "unknown option '--depth'"},
        {{"--palette", "dark"}, "--palette must be classic or high-contrast, not 'dark'"},
    };
    for (const auto& [options, message] : worded) {
        std::vector<std::string> args = {"render", game.string(), png};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(runSim(args).err, "kestro-sim: render: " + message + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(png));
}

// A file that cannot be loaded is named once, and a file loaded with a note names itself in the
// note, as in every other command.
TEST_F(ToolsRender, LoadFailuresAndNotesNameTheFileOnce) {
    const std::string png = (dir_ / "out.png").string();
    const std::string missing = (dir_ / "missing.egf").string();
    EXPECT_EQ(runSim({"render", missing, png}).err,
              "kestro-sim: render: cannot open '" + missing + "': No such file or directory\n");
    EXPECT_EQ(runSim({"render", dir_.string(), png}).err,
              "kestro-sim: render: '" + dir_.string() + "' is a folder\n");

    const auto dims = dir_ / "dims.egf";
    saveLevel(dims, 1, 5);
    {
        std::fstream f(dims, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(8);
        f.put(59);  // the first dimension field is no longer 58
    }
    const auto r = runSim({"render", dims.string(), png});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "kestro-sim: note: " + dims.string() +
                         ": Sorry, this file has been tampered with!\n");
    EXPECT_TRUE(std::filesystem::exists(png));
}

}  // namespace
}  // namespace kestro::sim
