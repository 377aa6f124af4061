#pragma once
// What the rules did, as they ran: the ball meeting walls, blocks, goals and markers, and the
// level ending. The window plays a sound for each; the simulator and the tests record them.
// Reporting changes nothing in the game.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "game/timer_set.h"

namespace kestro {

enum class GameEvent : std::uint8_t {
    WallBounce,     // reflected by a wall (or by a block that cannot move)
    PointerBounce,  // reflected by the pointer wall, the cell cursorX/cursorY names
    BlockPushed,    // a block moved one cell along the ball's step
    BlockToWall,    // a block pushed against a wall or a block became a wall
    BlockJump,      // wedged between two blocks: the cell ahead cleared, a block beyond it
    GoalCollected,  // the ball landed on a goal
    MarkerErased,   // the ball landed on a marker
    LevelComplete,  // no goal left: the next level is built
    LevelLost,      // the score reached 0: the level starts again
};
inline constexpr std::size_t kGameEventCount = 9;

inline constexpr std::array<std::string_view, kGameEventCount> kGameEventNames{
    "wall-bounce",    "pointer-bounce", "block-pushed",   "block-to-wall", "block-jump",
    "goal-collected", "marker-erased",  "level-complete", "level-lost"};

inline std::string_view eventName(GameEvent e) {
    return kGameEventNames[static_cast<std::size_t>(e)];
}

// Where a rule reports what it did; an empty report ignores it.
using EventReport = std::function<void(GameEvent)>;

// The front end's listener: each event with the game time of the tick that made it.
class GameEvents {
  public:
    virtual ~GameEvents() = default;
    virtual void happened(GameEvent event, Millis at) = 0;
};

}  // namespace kestro
