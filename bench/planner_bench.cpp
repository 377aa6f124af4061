// The planner's cost per ball tick: the states a game passes through before its ball ticks, as
// the planner plays it from a level at the default sliders, each handed to one planner in turn as
// the window and kestro-sim hand them (so its cache of the grid's obstacles works as in play).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "game/game.h"
#include "game/planner.h"
#include "game/playfield.h"
#include "game/random.h"
#include "game/slider.h"

namespace kestro {
namespace {

// The states before each of a game's first ball ticks over two minutes of game time.
std::vector<GameState> statesBeforeTicks(std::int32_t level, std::uint64_t seed) {
    StandardSliders sliders;
    sliders.SLvl.setValue(level);
    SeededRandom random(seed);
    NullDisplay display;
    Game game(sliders.view(), random, display);
    game.generateLevel();
    game.state().tileW = static_cast<float>(kDesignFieldWidth) / kCols;
    game.state().tileH = static_cast<float>(kDesignFieldHeight) / kRows;
    game.setPaused(false, 0);
    Planner planner;
    std::vector<GameState> states;
    while (const auto due = game.timers().due(TimerId::Ball)) {
        if (*due > 120'000) {
            break;
        }
        game.advanceTo(*due - 1);
        states.push_back(game.state());
        if (const auto p = planner.pointerFor(game.state())) {
            game.mouseMove(p->x, p->y);
        }
        game.advanceTo(*due);
    }
    return states;
}

void BM_PlannerPerBallTick(benchmark::State& state) {
    const std::vector<GameState> states =
        statesBeforeTicks(static_cast<std::int32_t>(state.range(0)), 1);
    Planner planner;
    std::size_t next = 0;
    for (auto _ : state) {
        auto p = planner.pointerFor(states[next]);
        benchmark::DoNotOptimize(p);
        next = next + 1 == states.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_PlannerPerBallTick)
    ->Arg(1)
    ->Arg(20)
    ->Arg(40)
    ->Arg(60)
    ->Arg(80)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestro
