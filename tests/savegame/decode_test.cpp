#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/game_state.h"
#include "savegame/codec.h"
#include "savegame/game_file.h"
#include "savegame/layout.h"
#include "savegame/messages.h"
#include "tests/savegame/bytes.h"
#include "tests/savegame/random_game.h"

using ::testing::HasSubstr;

namespace kestro::savegame {
namespace {

using test::le32;
using test::setLe16;
using test::setLe32;

constexpr std::int32_t K = 4711;

GameState sampleGame() {
    test::RandomGames random(99);
    GameState s = random.state();
    s.cursorX = 20;
    s.ballX = 35;
    s.ballY = 27;
    return s;
}

const SliderValues kSliders{300, 5, 1};

std::vector<std::uint8_t> sampleFile() {
    const SaveBytes b = encode(sampleGame(), kSliders, K);
    return {b.begin(), b.end()};
}

// The offset of variable record i (0 = cursorX ... 15 = score).
std::size_t var(std::size_t i) {
    return kVariablesOffset + 4 * i;
}

struct RefusalCase {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    RefusalKind kind;
    std::string mentions;
};

TEST(SaveGameDecode, RefusesDamagedFilesAsAWhole) {
    const RefusalCase cases[] = {
        {"empty", [](auto& f) { f.clear(); }, RefusalKind::WrongSize, "it holds only 0 bytes"},
        {"only the tag", [](auto& f) { f.resize(8); }, RefusalKind::WrongSize, "8 bytes"},
        {"one byte short", [](auto& f) { f.pop_back(); }, RefusalKind::WrongSize, "11183 bytes"},
        {"other tag", [](auto& f) { f[7] = 'S'; }, RefusalKind::WrongVersion, ""},
        {"lower-case tag", [](auto& f) { std::copy_n("egf1.0br", 8, f.begin()); },
         RefusalKind::WrongVersion, ""},
        {"one lower-case letter", [](auto& f) { f[0] = 'e'; }, RefusalKind::WrongVersion, ""},
        {"wrong tag and length", [](auto& f) { f.assign(100, 'x'); }, RefusalKind::WrongVersion,
         ""},
        {"tile above 16 bits", [](auto& f) { setLe32(f, tileOffset(10, 20), 32768 ^ 20 ^ 10 ^ K); },
         RefusalKind::ValueOutOfRange, "column 10, row 20"},
        {"tile below 16 bits",
         [](auto& f) { setLe32(f, tileOffset(58, 46), -32769 ^ 46 ^ 58 ^ K); },
         RefusalKind::ValueOutOfRange, "column 58, row 46"},
        {"ballInterval above 16 bits", [](auto& f) { setLe32(f, var(11), 40000 ^ K); },
         RefusalKind::ValueOutOfRange, "ballInterval"},
        {"second of a pair below 16 bits", [](auto& f) { setLe32(f, var(1), -40000 ^ 20 ^ K); },
         RefusalKind::ValueOutOfRange, "cursorY"},
        {"scatterCount above 16 bits", [](auto& f) { setLe32(f, var(13), 0x10000 ^ K); },
         RefusalKind::ValueOutOfRange, "scatterCount"},
        // ballY is stored combined with ballX, so it decodes to 27 ^ 35 ^ 59 = 3.
        {"ball right of the grid", [](auto& f) { setLe32(f, var(8), 59 ^ K); },
         RefusalKind::CellOutsideGrid, "ball's cell (59, 3)"},
        {"ball above the grid", [](auto& f) { setLe32(f, var(9), -1 ^ 35 ^ K); },
         RefusalKind::CellOutsideGrid, "ball's cell (35, -1)"},
        {"previous cell left of the grid", [](auto& f) { setLe32(f, var(4), -1 ^ K); },
         RefusalKind::CellOutsideGrid, "previous cell"},
        {"next cell below the grid",
         [](auto& f) {
             const std::int32_t nextX = le32(f, var(6)) ^ K;
             setLe32(f, var(7), 47 ^ nextX ^ K);
         },
         RefusalKind::CellOutsideGrid, "next cell"},
        {"pointer cell right of the grid", [](auto& f) { setLe32(f, var(0), 30000 ^ K); },
         RefusalKind::CellOutsideGrid, "pointer's wall cell"},
        {"SSpeed below its range", [](auto& f) { setLe32(f, kSlidersOffset, -2 ^ K); },
         RefusalKind::SliderOutOfRange, "SSpeed decodes to -2"},
        {"SSpeed above its range", [](auto& f) { setLe32(f, kSlidersOffset, 501 ^ K); },
         RefusalKind::SliderOutOfRange, "SSpeed decodes to 501"},
        {"SAccel 0", [](auto& f) { setLe32(f, kSlidersOffset + 4, 0 ^ 300 ^ K); },
         RefusalKind::SliderOutOfRange, "SAccel decodes to 0"},
        {"SAccel 21", [](auto& f) { setLe32(f, kSlidersOffset + 4, 21 ^ 300 ^ K); },
         RefusalKind::SliderOutOfRange, "SAccel"},
        {"SLvl -1", [](auto& f) { setLe32(f, kSlidersOffset + 8, -1 ^ 300 ^ K); },
         RefusalKind::SliderOutOfRange, "SLvl decodes to -1"},
        {"SLvl 81", [](auto& f) { setLe32(f, kSlidersOffset + 8, 81 ^ 300 ^ K); },
         RefusalKind::SliderOutOfRange, "SLvl"},
        // A speed the slider accepts still changes how the others decode: SAccel becomes
        // 5 ^ 300 ^ 256 = 41.
        {"SSpeed changed alone", [](auto& f) { setLe32(f, kSlidersOffset, 256 ^ K); },
         RefusalKind::SliderOutOfRange, "SAccel decodes to 41"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> file = sampleFile();
        ASSERT_TRUE(decode(file).ok());
        c.damage(file);
        const DecodeResult r = decode(file);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().kind, c.kind);
        if (c.kind == RefusalKind::WrongVersion) {
            EXPECT_EQ(refusalText(r.error()),
                      "Sorry, this file is not the correct version, or has been tampered with!");
        } else {
            const std::string text = refusalText(r.error());
            EXPECT_EQ(text.rfind(kCannotLoadMessage, 0), 0u) << text;
            EXPECT_THAT(text, HasSubstr(c.mentions));
        }
    }
}

// A game saved over a longer file is followed by what was left of it; only the first kFileSize
// bytes count.
TEST(SaveGameDecode, BytesBehindTheGameAreIgnored) {
    const DecodeResult exact = decode(sampleFile());
    ASSERT_TRUE(exact.ok()) << exact.error().reason;
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"one byte", {0}},
        {"1000 bytes of 0xFF", std::vector<std::uint8_t>(1000, 0xFF)},
        // Damage that would refuse the file if it were read.
        {"a broken tag", {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'}},
    };
    for (const auto& [name, behind] : cases) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> file = sampleFile();
        file.insert(file.end(), behind.begin(), behind.end());
        const DecodeResult r = decode(file);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(r.value(), exact.value());
    }
}

TEST(SaveGameDecode, WrongDimensionsAreFlaggedAndTheGameStillLoads) {
    struct DimCase {
        std::int16_t cols, rows;
        bool flagged;
    };
    const DimCase cases[] = {{58, 46, false}, {59, 47, true}, {58, 47, true},
                             {59, 46, true},  {0, 0, true},   {-1, 46, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "/" + std::to_string(c.rows));
        std::vector<std::uint8_t> file = sampleFile();
        setLe16(file, 8, c.cols);
        setLe16(file, 10, c.rows);
        const DecodeResult r = decode(file);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(r.value().dimensionsTampered, c.flagged);
        EXPECT_EQ(r.value().tiles, sampleGame().tiles);
        EXPECT_EQ(r.value().variables, storedVariables(sampleGame()));
        EXPECT_EQ(r.value().sliders, kSliders);
        EXPECT_EQ(r.value().fileKey, K);
    }
    EXPECT_EQ(kTamperedMessage, "Sorry, this file has been tampered with!");
}

TEST(SaveGameDecode, AcceptsTheEdgesOfEveryRange) {
    GameState s = sampleGame();
    s.tiles.set(0, 0, -32768);
    s.tiles.set(58, 46, 32767);
    s.ballX = 58;
    s.ballY = 46;
    s.lastX = 0;
    s.lastY = 0;
    s.nextX = 58;
    s.nextY = 0;
    s.cursorX = 0;
    s.cursorY = 46;
    s.minInterval = -32768;
    s.scatterCount = 32767;
    const SliderValues lows{-1, 1, 0};
    const SliderValues highs{500, 20, 80};
    for (const auto& sl : {lows, highs}) {
        const DecodeResult r = decode(encode(s, sl, K));
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(r.value().tiles, s.tiles);
        EXPECT_EQ(r.value().variables, storedVariables(s));
        EXPECT_EQ(r.value().sliders, sl);
    }
}

}  // namespace
}  // namespace kestro::savegame
