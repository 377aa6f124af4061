// The sounds as made: their lengths, no clipping and no clicks, even loudness, and each
// distinct from the others.

#include "sound/synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace kestro::sound {
namespace {

const SoundBank& bank() {
    static const SoundBank made = makeSoundBank();
    return made;
}

const Clip& clipOf(GameEvent e) {
    return bank()[static_cast<std::size_t>(e)];
}

std::string nameOf(std::size_t i) {
    return std::string(eventName(static_cast<GameEvent>(i)));
}

TEST(SoundSynth, LengthsFitWhatTheyAccompany) {
    struct Case {
        GameEvent event;
        double shortestMs;
        double longestMs;
    };
    const Case cases[] = {
        {GameEvent::WallBounce, 30, 150},   {GameEvent::PointerBounce, 30, 150},
        {GameEvent::BlockPushed, 30, 150},  {GameEvent::BlockToWall, 30, 150},
        {GameEvent::BlockJump, 30, 150},    {GameEvent::GoalCollected, 30, 150},
        {GameEvent::MarkerErased, 30, 150}, {GameEvent::LevelComplete, 150, 999},
        {GameEvent::LevelLost, 150, 999},
    };
    for (const Case& c : cases) {
        const double ms = clipMs(clipOf(c.event));
        EXPECT_GE(ms, c.shortestMs) << eventName(c.event);
        EXPECT_LE(ms, c.longestMs) << eventName(c.event);
    }
}

TEST(SoundSynth, NoClippingAndNoClicks) {
    for (std::size_t i = 0; i < kGameEventCount; ++i) {
        const std::vector<float>& s = bank()[i].samples;
        ASSERT_FALSE(s.empty()) << nameOf(i);
        float peak = 0.0f;
        float jump = 0.0f;
        for (std::size_t k = 0; k < s.size(); ++k) {
            peak = std::max(peak, std::abs(s[k]));
            if (k > 0) {
                jump = std::max(jump, std::abs(s[k] - s[k - 1]));
            }
        }
        // Room for two sounds at once before the mixer limits them.
        EXPECT_LT(peak, 0.5f) << nameOf(i);
        // Starts and ends at rest, and never steps further than its highest tone allows.
        EXPECT_LT(std::abs(s.front()), 1e-3f) << nameOf(i);
        EXPECT_LT(std::abs(s.back()), 1e-3f) << nameOf(i);
        EXPECT_LT(jump, 0.2f) << nameOf(i);
    }
}

TEST(SoundSynth, AllAreEquallyLoud) {
    for (std::size_t i = 0; i < kGameEventCount; ++i) {
        EXPECT_NEAR(rms(bank()[i]), kTargetRms, kTargetRms * 0.01) << nameOf(i);
    }
}

// The energy in 40 bands from 100 Hz to 5 kHz, by Goertzel, normalised to unit length.
std::vector<double> spectrum(const Clip& c) {
    std::vector<double> bands;
    double norm = 0.0;
    for (int b = 0; b < 40; ++b) {
        const double hz = 100.0 * std::pow(50.0, b / 39.0);
        const double w = 2.0 * std::numbers::pi * hz / kSampleRate;
        double s1 = 0.0, s2 = 0.0;
        for (const float x : c.samples) {
            const double s0 = x + 2.0 * std::cos(w) * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
        bands.push_back(power);
        norm += power * power;
    }
    for (double& p : bands) {
        p /= std::sqrt(norm);
    }
    return bands;
}

TEST(SoundSynth, EachSoundIsDistinct) {
    std::vector<std::vector<double>> spectra;
    for (const Clip& c : bank()) {
        spectra.push_back(spectrum(c));
    }
    for (std::size_t i = 0; i < kGameEventCount; ++i) {
        for (std::size_t j = i + 1; j < kGameEventCount; ++j) {
            double same = 0.0;
            for (std::size_t b = 0; b < spectra[i].size(); ++b) {
                same += spectra[i][b] * spectra[j][b];
            }
            const double lengthRatio = clipMs(bank()[i]) / clipMs(bank()[j]);
            const bool lengthsDiffer = lengthRatio < 0.7 || lengthRatio > 1.0 / 0.7;
            EXPECT_TRUE(same < 0.8 || lengthsDiffer)
                << nameOf(i) << " and " << nameOf(j) << " sound alike: " << same;
        }
    }
}

}  // namespace
}  // namespace kestro::sound
