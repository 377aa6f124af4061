#pragma once
// Games with every stored value drawn at random, for round trips through the file format.

#include <cstdint>
#include <limits>
#include <random>

#include "game/game_state.h"
#include "game/state_bounds.h"
#include "savegame/slider_values.h"

namespace kestro::savegame::test {

class RandomGames {
  public:
    explicit RandomGames(std::uint32_t seed) : gen_(seed) {}

    // Any 16-bit tile code, any value of the unchecked variables, cells inside the grid.
    GameState state() {
        GameState s;
        for (auto& c : s.tiles.cells()) {
            c = any16();
        }
        s.cursorX = col();
        s.cursorY = row();
        s.scanX = any16();
        s.scanY = any16();
        s.lastX = col();
        s.lastY = row();
        s.nextX = col();
        s.nextY = row();
        s.ballX = col();
        s.ballY = row();
        s.minInterval = any16();
        s.ballInterval = any16();
        s.accelStep = any16();
        s.scatterCount = any16();
        s.bankedScore = any32();
        s.score = any32();
        return s;
    }

    // Like state(), with every value the loader checks inside the range the game keeps it in,
    // and the previous cell one diagonal step from the ball.
    GameState playable() {
        GameState s = state();
        s.ballX = static_cast<std::int16_t>(between(1, kCols - 2));
        s.ballY = static_cast<std::int16_t>(between(1, kRows - 2));
        s.lastX = static_cast<std::int16_t>(s.ballX + (between(0, 1) != 0 ? 1 : -1));
        s.lastY = static_cast<std::int16_t>(s.ballY + (between(0, 1) != 0 ? 1 : -1));
        s.minInterval = static_cast<std::int16_t>(between(kIntervalRange.min, kIntervalRange.max));
        s.ballInterval = static_cast<std::int16_t>(between(kIntervalRange.min, kIntervalRange.max));
        s.accelStep = static_cast<std::int16_t>(between(kAccelStepRange.min, kAccelStepRange.max));
        s.scatterCount =
            static_cast<std::int16_t>(between(kScatterCountRange.min, kScatterCountRange.max));
        s.bankedScore = between(kScoreRange.min, kScoreRange.max);
        s.score = between(kScoreRange.min, kScoreRange.max);
        return s;
    }

    SliderValues sliders() {
        return SliderValues{in(kSpeedSlider), in(kAccelSlider), in(kLevelSlider)};
    }

    std::int32_t key() { return std::uniform_int_distribution<std::int32_t>(0, 86400)(gen_); }

  private:
    std::int16_t any16() {
        return static_cast<std::int16_t>(
            std::uniform_int_distribution<int>(std::numeric_limits<std::int16_t>::min(),
                                               std::numeric_limits<std::int16_t>::max())(gen_));
    }
    std::int32_t any32() { return std::uniform_int_distribution<std::int32_t>()(gen_); }
    std::int16_t col() {
        return static_cast<std::int16_t>(std::uniform_int_distribution<int>(0, 58)(gen_));
    }
    std::int16_t row() {
        return static_cast<std::int16_t>(std::uniform_int_distribution<int>(0, 46)(gen_));
    }
    std::int32_t between(std::int32_t lo, std::int32_t hi) {
        return std::uniform_int_distribution<std::int32_t>(lo, hi)(gen_);
    }
    std::int32_t in(const SliderSetting& r) {
        return std::uniform_int_distribution<std::int32_t>(r.min, r.max)(gen_);
    }

    std::mt19937 gen_;
};

}  // namespace kestro::savegame::test
