// At most one sound of each kind in any 40 ms of game time.

#include "sound/coalescer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestro::sound {
namespace {

struct Arrival {
    GameEvent event;
    Millis at;
    bool played;
};

TEST(SoundCoalescer, OneOfEachKindPer40Ms) {
    using E = GameEvent;
    struct Case {
        std::string name;
        std::vector<Arrival> arrivals;
    };
    const Case cases[] = {
        {"the first is played", {{E::WallBounce, 0, true}}},
        {"a second within 40 ms is not",
         {{E::WallBounce, 100, true}, {E::WallBounce, 100, false}, {E::WallBounce, 139, false}}},
        {"40 ms later it is", {{E::WallBounce, 100, true}, {E::WallBounce, 140, true}}},
        {"dropped ones do not extend the wait",
         {{E::WallBounce, 0, true},
          {E::WallBounce, 20, false},
          {E::WallBounce, 39, false},
          {E::WallBounce, 40, true},
          {E::WallBounce, 79, false},
          {E::WallBounce, 80, true}}},
        {"kinds are counted apart",
         {{E::WallBounce, 0, true},
          {E::PointerBounce, 0, true},
          {E::GoalCollected, 1, true},
          {E::WallBounce, 1, false},
          {E::LevelComplete, 1, true}}},
        {"the top speed: a tick every millisecond",
         {{E::BlockPushed, 1, true},
          {E::BlockPushed, 2, false},
          {E::BlockPushed, 3, false},
          {E::BlockPushed, 40, false},
          {E::BlockPushed, 41, true},
          {E::BlockPushed, 42, false}}},
        {"a clock that starts again starts afresh",
         {{E::WallBounce, 5000, true}, {E::WallBounce, 10, true}, {E::WallBounce, 30, false}}},
    };
    for (const Case& c : cases) {
        Coalescer co;
        for (const Arrival& a : c.arrivals) {
            EXPECT_EQ(co.admit(a.event, a.at), a.played)
                << c.name << ": " << eventName(a.event) << " at " << a.at;
        }
    }
}

}  // namespace
}  // namespace kestro::sound
