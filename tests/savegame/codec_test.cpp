#include "savegame/codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "game/game_state.h"
#include "savegame/layout.h"
#include "tests/savegame/bytes.h"
#include "tests/savegame/random_game.h"
#include "tests/support/distinct_state.h"

namespace kestro::savegame {
namespace {

using test::le16;
using test::le32;

// A game whose sixteen stored variables all differ, so a swapped field shows.
GameState distinctGame() {
    return kestro::test::distinctState({
        .tiles = {{35, 27, tileBall},
                  {0, 0, tileWall},
                  {58, 46, tileWall},
                  {2, 44, tileGoal},
                  {17, 5, -1}},  // widened with its sign
        .variables =
            {
                .cursorX = 12,
                .cursorY = 40,
                .scanX = -3,
                .scanY = 1234,
                .lastX = 34,
                .lastY = 28,
                .nextX = 36,
                .nextY = 26,
                .ballX = 35,
                .ballY = 27,
                .minInterval = 201,
                .ballInterval = 390,
                .accelStep = 5,
                .scatterCount = 7,
                .bankedScore = 123456,
                .score = -70000,
            },
    });
}

TEST(SaveGameEncode, LaysOutTheWorkedExample) {
    const std::int32_t K = 1000;
    const GameState s = distinctGame();
    const SliderValues sl{302, 7, 13};
    const SaveBytes b = encode(s, sl, K);

    EXPECT_EQ(std::string(b.begin(), b.begin() + 8), "EGF1.0BR");
    EXPECT_EQ(le16(b, 8), 58);
    EXPECT_EQ(le16(b, 10), 46);
    EXPECT_EQ(le32(b, 12), K ^ 0x2B4D);

    // The ball at (35, 27) is record 35 * 47 + 27 = 1672 at offset 6704.
    EXPECT_EQ(tileOffset(35, 27), 6704u);
    EXPECT_EQ(le32(b, 6704), 978);
    EXPECT_EQ(le32(b, 16), 1 ^ 0 ^ 0 ^ K);                       // (0, 0): the first record
    EXPECT_EQ(le32(b, 16 + 4 * 2772), 1 ^ 46 ^ 58 ^ K);          // (58, 46): the last one
    EXPECT_EQ(le32(b, 16 + 4 * (2 * 47 + 44)), 8 ^ 44 ^ 2 ^ K);  // column outer, row inner
    EXPECT_EQ(le32(b, 16 + 4 * (17 * 47 + 5)), -1 ^ 5 ^ 17 ^ K);
    EXPECT_EQ(le32(b, 16 + 4 * (30 * 47 + 30)), 0 ^ 30 ^ 30 ^ K);

    struct Field {
        std::size_t offset;
        std::int32_t stored;
        const char* what;
    };
    const Field fields[] = {
        {11108, 12 ^ K, "cursorX"},
        {11112, 40 ^ 12 ^ K, "cursorY ^ cursorX"},
        {11116, -3 ^ K, "scanX"},
        {11120, 1234 ^ -3 ^ K, "scanY ^ scanX"},
        {11124, 34 ^ K, "lastX"},
        {11128, 28 ^ 34 ^ K, "lastY ^ lastX"},
        {11132, 36 ^ K, "nextX"},
        {11136, 26 ^ 36 ^ K, "nextY ^ nextX"},
        {11140, 35 ^ K, "ballX"},
        {11144, 27 ^ 35 ^ K, "ballY ^ ballX"},
        {11148, 201 ^ K, "minInterval"},
        {11152, 390 ^ K, "ballInterval"},
        {11156, 5 ^ K, "accelStep"},
        {11160, 7 ^ K, "scatterCount"},
        {11164, 123456 ^ K, "bankedScore"},
        {11168, -70000 ^ K ^ 123456, "score ^ bankedScore"},
        {11172, 302 ^ K, "SSpeed"},
        {11176, 7 ^ 302 ^ K, "SAccel ^ SSpeed"},
        {11180, 13 ^ 302 ^ K, "SLvl ^ SSpeed"},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(le32(b, f.offset), f.stored) << f.what << " at " << f.offset;
    }
    EXPECT_EQ(b.size(), 11184u);
}

TEST(SaveGameEncode, KeyFieldHidesTheKeyAtTheEndsOfTheDay) {
    const GameState s = distinctGame();
    for (const std::int32_t K : {0, 1, 43200, 86399, 86400}) {
        const SaveBytes b = encode(s, SliderValues{}, K);
        EXPECT_EQ(le32(b, 12), K ^ 0x2B4D) << K;
        auto decoded = decode(b);
        ASSERT_TRUE(decoded.ok()) << K;
        EXPECT_EQ(decoded.value().fileKey, K);
    }
    EXPECT_EQ(le32(encode(s, SliderValues{}, 0), 12), 0x2B4D);
}

TEST(SaveGameEncode, RoundTripsAnyGame) {
    test::RandomGames random(20240611);
    for (int i = 0; i < 300; ++i) {
        const GameState s = random.state();
        const SliderValues sl = random.sliders();
        const std::int32_t K = random.key();
        auto decoded = decode(encode(s, sl, K));
        ASSERT_TRUE(decoded.ok()) << decoded.error().reason;
        const DecodedGame& g = decoded.value();
        EXPECT_EQ(g.tiles, s.tiles);
        EXPECT_EQ(g.variables, storedVariables(s));
        EXPECT_EQ(g.sliders, sl);
        EXPECT_EQ(g.fileKey, K);
        EXPECT_FALSE(g.dimensionsTampered);
        EXPECT_EQ(encode(g), encode(s, sl, K));
    }
}

TEST(SaveGameEncode, TwoKeysHideTheSameGameDifferently) {
    test::RandomGames random(7);
    const GameState s = random.state();
    const SliderValues sl = random.sliders();
    const SaveBytes a = encode(s, sl, 1000);
    const SaveBytes b = encode(s, sl, 1003);

    // Every record behind the dimensions changes with the key.
    for (std::size_t at = kKeyOffset; at < kFileSize; at += 4) {
        EXPECT_NE(le32(a, at), le32(b, at)) << "record at " << at;
    }
    auto da = decode(a);
    auto db = decode(b);
    ASSERT_TRUE(da.ok());
    ASSERT_TRUE(db.ok());
    EXPECT_EQ(da.value().tiles, db.value().tiles);
    EXPECT_EQ(da.value().variables, db.value().variables);
    EXPECT_EQ(da.value().sliders, db.value().sliders);
}

}  // namespace
}  // namespace kestro::savegame
