// kestro-sim thumbnail as the file manager runs it: the Exec line of the installed thumbnailer
// entry with %i, %o and %s filled in, in a folder where only the output may appear.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
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
#include "tests/support/process.h"
#include "tests/support/result.h"
#include "tests/support/temp_dir.h"

namespace kestro::sim {
namespace {

namespace fs = std::filesystem;

const std::map<std::int16_t, QRgb> kTileColours = {
    {tileWall, qRgb(0, 0, 0)},   {tileBall, qRgb(0, 0, 255)},   {tileBlock, qRgb(64, 64, 255)},
    {tileGoal, qRgb(0, 255, 0)}, {tileMarker, qRgb(255, 0, 0)},
};

// The words of the thumbnailer entry's Exec line.
std::vector<std::string> execWords() {
    std::ifstream entry(KESTRO_THUMBNAILER);
    std::string line;
    while (std::getline(entry, line)) {
        if (line.rfind("Exec=", 0) == 0) {
            std::istringstream words(line.substr(5));
            std::vector<std::string> out;
            for (std::string w; words >> w;) {
                out.push_back(w);
            }
            return out;
        }
    }
    ADD_FAILURE() << "no Exec line in " << KESTRO_THUMBNAILER;
    return {};
}

class ToolsThumbnail : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(in_);
        fs::create_directories(out_);
        StandardSliders sliders;
        sliders.SLvl.setValue(80);
        SeededRandom random(11);
        NullDisplay display;
        generateLevel(state_, sliders.view(), random, display);
        ASSERT_FALSE(kestro::test::reasonOf(savegame::saveGameFile(
            in_ / "level.egf", state_, savegame::readSliderValues(sliders.view()), 1234)));
    }

    // Runs the Exec line as the desktop does, with the built kestro-sim for the program's name.
    kestro::test::RunResult thumbnail(const fs::path& in, const fs::path& out,
                                      const std::string& size) const {
        const std::vector<std::string> words = execWords();
        EXPECT_FALSE(words.empty());
        if (words.empty()) {
            return {};
        }
        EXPECT_EQ(words[0], "kestro-sim");
        std::vector<std::string> args;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::string& w = words[i];
            args.push_back(w == "%i"   ? in.string()
                           : w == "%o" ? out.string()
                           : w == "%s" ? size
                                       : w);
        }
        return kestro::test::runProgram(KESTRO_SIM, args);
    }

    std::vector<std::string> outFiles() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(out_)) {
            names.push_back(e.path().filename().string());
        }
        return names;
    }

    const kestro::test::TempDir tempDir_{"kestro-thumbnail"};
    const fs::path in_ = tempDir_ / "in";
    const fs::path out_ = tempDir_ / "out";
    GameState state_;
};

TEST_F(ToolsThumbnail, DrawsThePlayfieldAtTheAskedSizes) {
    ASSERT_GT(std::count(state_.tiles.cells().begin(), state_.tiles.cells().end(), tileBlock), 0);
    ASSERT_GT(std::count(state_.tiles.cells().begin(), state_.tiles.cells().end(), tileMarker), 0);
    // The longer side is SIZE; the other keeps the playfield's 582 by 525.
    const std::map<int, QSize> sizes = {
        {128, QSize(128, 115)}, {256, QSize(256, 231)}, {512, QSize(512, 462)}};
    for (const auto& [size, expected] : sizes) {
        SCOPED_TRACE(size);
        const fs::path png = out_ / ("level-" + std::to_string(size) + ".png");
        const auto r = thumbnail(in_ / "level.egf", png, std::to_string(size));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, "");
        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
        ASSERT_EQ(image.size(), expected);
        // The pixel nearest the middle of each cell has the colour of the tile there.
        std::map<std::int16_t, int> seen;
        for (int x = 0; x < kCols; ++x) {
            for (int y = 0; y < kRows; ++y) {
                const int px = static_cast<int>((x + 0.5) * expected.width() / kCols);
                const int py = static_cast<int>((y + 0.5) * expected.height() / kRows);
                const std::int16_t code = state_.tiles.at(x, y);
                const auto colour = kTileColours.find(code);
                const QRgb want =
                    colour != kTileColours.end() ? colour->second : qRgb(255, 255, 255);
                EXPECT_EQ(image.pixel(px, py), want) << "cell " << x << "," << y;
                ++seen[code];
            }
        }
        EXPECT_EQ(seen[tileBall], 1);
        EXPECT_EQ(seen[tileGoal], 4);
    }
    // Only the pictures appeared: nothing beside them, nothing beside the saved game.
    EXPECT_EQ(outFiles().size(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(in_), fs::directory_iterator()), 1);
}

TEST_F(ToolsThumbnail, ARefusedFileGivesStatusOneAndNoPicture) {
    std::ofstream(in_ / "text.egf") << "not a saved game";
    std::ofstream(in_ / "short.egf", std::ios::binary) << "EGF1.0BR";
    const fs::path game = in_ / "level.egf";
    const fs::path png = out_ / "thumb.png";
    struct Case {
        fs::path in;
        std::string size;
    };
    const Case cases[] = {
        {in_ / "text.egf", "256"},
        {in_ / "short.egf", "256"},
        {in_ / "missing.egf", "256"},
        {game, "0"},
        {game, "4097"},
        {game, "big"},
        {game, "-128"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.filename().string() + " " + c.size);
        const auto r = thumbnail(c.in, png, c.size);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("kestro-sim: thumbnail: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(outFiles().empty());
    }
    const auto noFolder = thumbnail(game, out_ / "no" / "such.png", "128");
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_TRUE(outFiles().empty());
    const auto extra = kestro::test::runProgram(
        KESTRO_SIM, {"thumbnail", game.string(), png.string(), "128", "more"});
    EXPECT_EQ(extra.status, 1);
    EXPECT_TRUE(outFiles().empty());
}

}  // namespace
}  // namespace kestro::sim
