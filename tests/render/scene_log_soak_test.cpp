// An hour of fast play of a saved game whose inner cells hold a tile code without a colour: the
// scene reports each such cell in every frame, and the log still stays under its size cap, with
// every record before the cap as it always is.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "diag/log.h"
#include "game/game.h"
#include "game/playfield.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/tiles.h"
#include "render/scene.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "tests/support/files.h"
#include "tests/support/temp_log.h"

namespace kestro {
namespace {

namespace fs = std::filesystem;
namespace sg = kestro::savegame;

constexpr std::int16_t kUnknownCode = 3;
constexpr Millis kHour = 3'600'000;
// Under the sanitizers a slice of it: five minutes still report over a hundred times the cap.
#if defined(__SANITIZE_ADDRESS__)
constexpr Millis kPlayMs = 300'000;
#else
constexpr Millis kPlayMs = kHour;
#endif

// A level at top speed whose empty inner cells hold kUnknownCode, with each goal walled in so
// that the level is never completed, and a score that lasts beyond the hour: the file's bytes.
sg::SaveBytes floodedGame() {
    StandardSliders sliders;
    sliders.SSpeed.setValue(kSpeedSlider.max);
    sliders.SAccel.setValue(kAccelSlider.max);
    SeededRandom random(7);
    NullDisplay display;
    Game game(sliders.view(), random, display);
    game.generateLevel();
    GameState& s = game.state();
    for (int x = 1; x < kCols - 1; ++x) {
        for (int y = 1; y < kRows - 1; ++y) {
            if (s.tiles.at(x, y) == tileGoal) {
                for (int dx = -1; dx <= 1; ++dx) {
                    for (int dy = -1; dy <= 1; ++dy) {
                        if (s.tiles.at(x + dx, y + dy) != tileGoal) {
                            s.tiles.set(x + dx, y + dy, tileWall);
                        }
                    }
                }
            }
        }
    }
    for (int x = 1; x < kCols - 1; ++x) {
        for (int y = 1; y < kRows - 1; ++y) {
            if (s.tiles.at(x, y) == tileEmpty) {
                s.tiles.set(x, y, kUnknownCode);
            }
        }
    }
    s.score = 100'000;  // one count every 1.5 s at most: far beyond the hour
    return sg::encode(s, sg::readSliderValues(sliders.view()), 1234);
}

TEST(SceneLogSoak, AnHourOfUnknownTilesKeepsTheLogUnderItsCap) {
    const test::TempLogFolder folder("kestro-scene-soak");
    ASSERT_TRUE(errorLogFile(true, "kestro", 13, 0, false));
    const std::uint64_t header = fs::file_size(folder.logPath("kestro"));

    StandardSliders sliders;
    SeededRandom random(11);
    NullDisplay display;
    Game game(sliders.view(), random, display);
    const auto decoded = sg::decode(floodedGame());
    ASSERT_TRUE(decoded.ok()) << decoded.error().reason;
    sg::applyDecodedGame(decoded.value(), game.state(), sliders.view());
    GameState& s = game.state();
    s.tileW = static_cast<float>(kDesignFieldWidth) / kCols;
    s.tileH = static_cast<float>(kDesignFieldHeight) / kRows;
    game.setPaused(false, 0);

    // Frames at 60 Hz on virtual time, each composed afresh when the grid has changed, as the
    // window does.
    std::int64_t frames = 0;
    std::int64_t reported = 0;  // cells the scene reported
    Tiles composed;
    for (Millis now = 0; now < kPlayMs; now = frames * 1000 / 60) {
        game.advanceTo(now);
        ++frames;
        if (s.tiles == composed) {
            continue;
        }
        composed = s.tiles;
        for (const std::int16_t code : s.tiles.cells()) {
            reported += code == kUnknownCode ? 1 : 0;
        }
        static_cast<void>(composeScene(s));
    }
    ASSERT_TRUE(errorLogFile(false, "", 0, 0, false));
    EXPECT_EQ(game.state().level, decoded.value().sliders.SLvl) << "the level went on all along";

    const std::string text = test::readFile(folder.logPath("kestro"));
    RecordProperty("frames", std::to_string(frames));
    RecordProperty("cells_reported", std::to_string(reported));
    RecordProperty("log_bytes", std::to_string(text.size()));
    const std::string record = "[ ERROR ]  There's an undefined number in renderer_render!\r\n";
    ASSERT_GT(static_cast<std::uint64_t>(reported) * record.size(), 100 * kLogSizeCap)
        << "the scene reports enough to fill the disk without the cap";
    EXPECT_LE(text.size(), kLogSizeCap);

    const std::vector<std::string> records = test::logRecords(text);
    const std::uint64_t fitting = (kLogSizeCap - kLogReserve - header) / record.size();
    ASSERT_EQ(records.size(), 5 + fitting + 2);
    for (std::size_t i = 5; i < 5 + fitting; ++i) {
        ASSERT_EQ(records[i] + "\r\n", record) << i;
    }
    EXPECT_EQ(records[records.size() - 2], "[ ERROR ]  " + std::string(kLogFullNotice));
    EXPECT_EQ(records.back(), "[  INFO ]  {Error Subsystem} Log file closed @ 071226:220509");
}

}  // namespace
}  // namespace kestro
