// The game core's hot paths: laying out a full level and one ball tick.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "game/ball.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"

namespace kestro {
namespace {

void BM_generateLevel(benchmark::State& state) {
    StandardSliders sliders;
    sliders.SLvl.setValue(static_cast<std::int32_t>(state.range(0)));
    SeededRandom random(1);
    NullDisplay display;
    GameState s;
    for (auto _ : state) {
        s.tiles.clear();
        generateLevel(s, sliders.view(), random, display);
        benchmark::DoNotOptimize(s.tiles.cells().data());
    }
}
BENCHMARK(BM_generateLevel)->Arg(1)->Arg(80);

void BM_Ball_Timer(benchmark::State& state) {
    StandardSliders sliders;
    sliders.SLvl.setValue(80);
    SeededRandom random(2);
    NullDisplay display;
    GameState s;
    generateLevel(s, sliders.view(), random, display);
    for (auto _ : state) {
        Ball_Timer(s);
        benchmark::DoNotOptimize(s.ballX);
    }
}
BENCHMARK(BM_Ball_Timer);

}  // namespace
}  // namespace kestro
