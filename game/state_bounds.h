#pragma once
// The ranges the stored variables keep while the game is played, derived from the rules that
// write them. A game outside them can overflow the game's fixed-width arithmetic or break its
// motion; loading such a game is refused, and the tools that build games keep inside them.

#include <cstdint>

#include "game/game_clock.h"
#include "game/slider.h"

namespace kestro {

struct StateRange {
    std::int32_t min;
    std::int32_t max;

    constexpr bool contains(std::int64_t v) const { return v >= min && v <= max; }
};

// The most tiles one scatter pass places: the blocks of the last level, nearest(80 x 6.804).
inline constexpr std::int32_t kMostScattered = 544;

// The most a level adds to the banked score: with level L, top speed S and the previous
// acceleration A it starts at (L^2 + S + 2A) / 5 + bankedScore, at most (80^2 + 500 + 2 x 20) / 5.
// (The least is nearest(-1 / 5) = 0.)
inline constexpr std::int32_t kMostLevelBonus =
    (kLastLevel * kLastLevel + kSpeedSlider.max + 2 * kAccelSlider.max) / 5;
static_assert(kMostLevelBonus == 1388);

// accelStep: level generation copies it from the acceleration slider (1..20); it is 0 only
// before the first level. The acceleration tick takes it off ballInterval and the next level's
// score doubles it in 16 bits, both safe for these values.
inline constexpr StateRange kAccelStepRange{0, kAccelSlider.max};

// ballInterval: generation gives nearest(S / 0.8 + 3A), 2..685 for the sliders' ranges; the
// acceleration tick lowers it by accelStep but never below 1, and nothing raises it but the next
// level. Any period from 1 ms up is safe: the acceleration tick subtracts at most 20 and the
// score tick's period 1500 - ballInterval stays within 16 bits (a period below 1 ms is taken as
// 1 ms by the timers).
// minInterval: generation gives SSpeed's Max - S + 1, 1..502; the game only compares with it.
// Both are kept at 1..32767.
inline constexpr StateRange kIntervalRange{1, 32767};

// scatterCount: the count of the latest scatter pass, 0..kMostScattered. The game never reads it.
inline constexpr StateRange kScatterCountRange{0, kMostScattered};

// score and bankedScore: the score counts down by one per score tick (at most one a
// millisecond), so from -10^9 it takes over 10^9 ticks to leave 32 bits; a completed level adds
// at most kMostLevelBonus, so from 10^9 it takes more than 826,000 completed levels (at one per
// 150 ms level-completion tick, over 34 hours of nothing but completions). A real game reaches
// 10^9 only after some 720,000 levels, so the range holds every game actually played.
inline constexpr StateRange kScoreRange{-1'000'000'000, 1'000'000'000};

}  // namespace kestro
