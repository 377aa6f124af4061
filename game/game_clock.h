#pragma once
// The timer handlers besides the ball's: acceleration, level completion and the score count.

#include "game/display.h"
#include "game/events.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/timer_set.h"

namespace kestro {

inline constexpr const char* kCongratulationsMessage = "Congratulations, you have über skillz";
inline constexpr const char* kLostMessage = "Lmao...-_- you lost, try again :p";

// The last level; completing it starts again at level 0.
inline constexpr std::int16_t kLastLevel = 80;

// Shortens the ball's period by accelStep until it is at or below minInterval (never below 1)
// and hands the period to the Ball timer, also when it did not change.
void accel_Timer(GameState& s, TimerSet& timers);
// Whether an acceleration tick now would change when the ball moves: it still shortens the
// period, or the Ball timer does not run at the state's period yet (a new level, a load).
bool accelChangesBall(const GameState& s, const TimerSet& timers);

// Whether a level check now would complete the level: no goal is left.
bool levelComplete(const GameState& s);

// When no goal is left: banks the score, clears the grid, moves the level slider on (after the
// last level, with the congratulation, back to 0) and builds the next level. Returns whether the
// level was completed; a completion is reported first, before any message.
bool LevelUp_Timer(GameState& s, const Sliders& sliders, RandomSource& random, GameDisplay& display,
                   const EventReport& report = {});

// Counts the score down by one, slower the faster the ball is, and shows it. A score that
// reaches exactly 0 loses the level: the message, then the same level from nothing. Returns
// whether the level was lost; a loss is reported before its message.
bool Score_Timer(GameState& s, TimerSet& timers, const Sliders& sliders, RandomSource& random,
                 GameDisplay& display, const EventReport& report = {});

}  // namespace kestro
