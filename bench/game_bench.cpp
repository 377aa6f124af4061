// The game core's hot paths: laying out a full level, one ball tick, a save and a load, and an
// hour of play on virtual time.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "game/ball.h"
#include "game/game.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/codec.h"
#include "savegame/slider_values.h"

namespace kestro {
namespace {

// A level laid out by the game from the default sliders at the given level.
GameState levelState(std::int32_t level, std::uint64_t seed) {
    StandardSliders sliders;
    sliders.SLvl.setValue(level);
    SeededRandom random(seed);
    NullDisplay display;
    GameState s;
    generateLevel(s, sliders.view(), random, display);
    return s;
}

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
    GameState s = levelState(80, 2);
    for (auto _ : state) {
        Ball_Timer(s);
        benchmark::DoNotOptimize(s.ballX);
    }
}
BENCHMARK(BM_Ball_Timer);

// The codec's share of File > Save and File > Open: encoding a level-80 game, and decoding it.
void BM_SaveLoad(benchmark::State& state) {
    const GameState s = levelState(80, 3);
    const savegame::SliderValues values{kSpeedSlider.start, kAccelSlider.start, 80};
    for (auto _ : state) {
        const savegame::SaveBytes bytes = savegame::encode(s, values, 1234);
        auto decoded = savegame::decode(bytes);
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_SaveLoad);

// An hour of game time at level 40 with the default sliders and no pointer, as kestro-sim play
// runs it; the counter gives game hours per second of processor time.
void BM_PlayHour(benchmark::State& state) {
    constexpr Millis kHour = 3'600'000;
    for (auto _ : state) {
        StandardSliders sliders;
        sliders.SLvl.setValue(40);
        SeededRandom random(4);
        NullDisplay display;
        Game game(sliders.view(), random, display);
        game.generateLevel();
        game.setPaused(false, 0);
        game.advanceTo(kHour);
        benchmark::DoNotOptimize(game.state().score);
    }
    state.counters["game_h_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlayHour)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestro
