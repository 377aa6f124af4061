#pragma once
// At the top speed the ball's events come by the hundred a second; only one of each kind is
// played in any 40 ms, so the sound stays pleasant whatever the speed.

#include <array>
#include <optional>

#include "game/events.h"

namespace kestro::sound {

inline constexpr Millis kCoalesceMs = 40;

class Coalescer {
  public:
    // Whether an event at game time `at` is played: not when one of its kind was played less
    // than kCoalesceMs before. Time that runs backwards (a new game's clock) starts afresh.
    bool admit(GameEvent event, Millis at);

  private:
    std::array<std::optional<Millis>, kGameEventCount> last_{};
};

}  // namespace kestro::sound
