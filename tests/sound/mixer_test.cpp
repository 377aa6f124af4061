// Voices summed into blocks, limited to 16 bits, ended with their clips.

#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kestro::sound {
namespace {

Clip constant(float value, std::size_t n) {
    return Clip{std::vector<float>(n, value)};
}

TEST(SoundMixer, SumsVoicesAcrossBlocksAndEndsThem) {
    const Clip a = constant(0.25f, 6);
    const Clip b = constant(-0.5f, 3);
    Mixer m;
    EXPECT_TRUE(m.idle());
    m.start(a);
    m.start(b);
    std::array<std::int16_t, 4> block{};
    m.mix(block);
    EXPECT_EQ(block, (std::array<std::int16_t, 4>{-8192, -8192, -8192, 8192}));
    m.mix(block);
    EXPECT_EQ(block, (std::array<std::int16_t, 4>{8192, 8192, 0, 0}));
    EXPECT_TRUE(m.idle());
    m.mix(block);
    EXPECT_EQ(block, (std::array<std::int16_t, 4>{}));
}

TEST(SoundMixer, LimitsTheSumAndKeepsTheNewestVoices) {
    const Clip loud = constant(0.75f, 100);
    const Clip quiet = constant(0.01f, 100);
    Mixer m;
    m.start(loud);
    m.start(loud);
    std::array<std::int16_t, 2> block{};
    m.mix(block);
    EXPECT_EQ(block, (std::array<std::int16_t, 2>{32767, 32767}));

    Mixer full;
    full.start(loud);
    for (std::size_t i = 0; i < Mixer::kMaxVoices; ++i) {
        full.start(quiet);  // the last of these takes the loud one's place
    }
    full.mix(block);
    EXPECT_EQ(block[0], static_cast<std::int16_t>(std::lround(0.01f * Mixer::kMaxVoices * 32767)));
}

}  // namespace
}  // namespace kestro::sound
