#include "game/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace kestro {
namespace {

TEST(GameRandom, OutputMapsToTop24BitsBelowOne) {
    struct Case {
        std::uint32_t output;
        float draw;
    };
    const Case cases[] = {
        {0x00000000u, 0.0f},     {0x000000FFu, 0.0f},  // the low 8 bits never count
        {0x00000100u, 0x1p-24f}, {0x80000000u, 0.5f},
        {0xC00000FFu, 0.75f},    {0xFFFFFFFFu, 1.0f - 0x1p-24f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        EXPECT_EQ(unitFromOutput(c.output), c.draw);
    }
    EXPECT_LT(unitFromOutput(0xFFFFFFFFu), 1.0f);
}

std::vector<float> drawsOf(std::uint64_t seed, int n) {
    SeededRandom random(seed);
    std::vector<float> out;
    for (int i = 0; i < n; ++i) {
        out.push_back(random.draw());
    }
    return out;
}

TEST(GameRandom, SeededSequenceIsReproducibleAndDependsOnTheWholeSeed) {
    EXPECT_EQ(drawsOf(12345, 50), drawsOf(12345, 50));
    EXPECT_NE(drawsOf(12345, 50), drawsOf(12346, 50));
    // Seeds that differ only above bit 31.
    EXPECT_NE(drawsOf(7, 50), drawsOf(7 + (std::uint64_t{1} << 32), 50));
    EXPECT_NE(drawsOf(0, 50), drawsOf(std::uint64_t{1} << 63, 50));
}

TEST(GameRandom, SeededDrawsAreMultiplesOf2To24InUnitIntervalAndRoughlyUniform) {
    SeededRandom random(2024);
    constexpr int kDraws = 200000;
    int buckets[10] = {};
    double sum = 0.0;
    for (int i = 0; i < kDraws; ++i) {
        const float r = random.draw();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        const double scaled = static_cast<double>(r) * 0x1p24;
        ASSERT_EQ(scaled, std::floor(scaled)) << r;
        sum += r;
        ++buckets[static_cast<int>(r * 10.0f)];
    }
    EXPECT_NEAR(sum / kDraws, 0.5, 0.005);
    for (int b : buckets) {
        EXPECT_NEAR(b, kDraws / 10, kDraws / 100);
    }
}

TEST(GameRandom, ScriptedGivesItsDrawsInOrderThenThrows) {
    ScriptedRandom random({0.25f, 0.0f, 0.75f});
    EXPECT_EQ(random.used(), 0u);
    EXPECT_EQ(random.draw(), 0.25f);
    EXPECT_EQ(random.draw(), 0.0f);
    EXPECT_EQ(random.draw(), 0.75f);
    EXPECT_EQ(random.used(), 3u);
    EXPECT_THROW(random.draw(), NoDrawLeft);
    EXPECT_THROW(random.draw(), NoDrawLeft);
    EXPECT_EQ(random.used(), 3u);

    ScriptedRandom empty({});
    EXPECT_THROW(empty.draw(), NoDrawLeft);
}

}  // namespace
}  // namespace kestro
