#include "game/autopilot.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace kestro {

void playAhead(Game& game, Planner& planner, Millis end,
               const std::function<void(Millis at, PointerPosition p)>& move) {
    const auto ballTicks = [&game] {
        return game.ticks()[static_cast<std::size_t>(TimerId::Ball)];
    };
    while (const auto due = game.timers().due(TimerId::Ball)) {
        if (*due > end) {
            break;
        }
        const std::int64_t before = ballTicks();
        game.advanceTo(std::max(*due - 1, game.timers().now()));
        // An earlier timer may have brought the tick forward (it came already) or put it off.
        if (ballTicks() != before || game.timers().due(TimerId::Ball) != due) {
            continue;
        }
        if (const auto p = planner.pointerFor(game.state())) {
            move(*due, *p);
        }
        game.advanceTo(*due);
    }
}

}  // namespace kestro
