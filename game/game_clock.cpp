#include "game/game_clock.h"

#include <cstdint>

#include "common/int_range.h"
#include "game/level.h"

namespace kestro {

namespace {

bool accelShortens(const GameState& s) {
    return s.ballInterval > s.minInterval;
}

}  // namespace

void accel_Timer(GameState& s, TimerSet& timers) {
    if (accelShortens(s)) {
        s.ballInterval = checked16(std::int64_t{s.ballInterval} - s.accelStep);
        if (s.ballInterval <= 0) {
            s.ballInterval = 1;
        }
    }
    timers.setPeriod(TimerId::Ball, s.ballInterval);
}

bool accelChangesBall(const GameState& s, const TimerSet& timers) {
    return accelShortens(s) || timers.period(TimerId::Ball) != s.ballInterval;
}

bool levelComplete(const GameState& s) {
    return goalsLeft(s.tiles) == 0;
}

bool LevelUp_Timer(GameState& s, const Sliders& sliders, RandomSource& random, GameDisplay& display,
                   const EventReport& report) {
    if (!levelComplete(s)) {
        return false;
    }
    if (report) {
        report(GameEvent::LevelComplete);
    }
    s.bankedScore = s.score;
    s.tiles.clear();
    if (s.level == kLastLevel) {
        display.showMessage(kCongratulationsMessage);
        sliders.SLvl.setValue(0);
    } else {
        sliders.SLvl.setValue(checked32(std::int64_t{s.level} + 1));
    }
    generateLevel(s, sliders, random, display);
    return true;
}

bool Score_Timer(GameState& s, TimerSet& timers, const Sliders& sliders, RandomSource& random,
                 GameDisplay& display, const EventReport& report) {
    // The faster the ball, the slower the countdown.
    timers.setPeriod(TimerId::Score, checked16(1500 - std::int64_t{s.ballInterval}));
    s.score = checked32(std::int64_t{s.score} - 1);
    display.showScore(s.score);
    if (s.score != 0) {
        return false;
    }
    if (report) {
        report(GameEvent::LevelLost);
    }
    display.showMessage(kLostMessage);
    s.tiles.clear();
    s.bankedScore = 0;
    generateLevel(s, sliders, random, display);
    return true;
}

}  // namespace kestro
