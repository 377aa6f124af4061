// One frame of the game as the window draws it: the scene composed from a level-80 grid, handed
// to the renderer, parsed, drawn on the QImage surface and presented.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include <QSize>

#include "diag/error_trap.h"
#include "game/display.h"
#include "game/game_state.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "render/crender.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"

namespace kestro {
namespace {

class NoDialog final : public TrapDialog {
  public:
    int ask(const std::string&, const std::string&) override { return kAnswerAbort; }
};

GameState level80() {
    StandardSliders sliders;
    sliders.SLvl.setValue(80);
    SeededRandom random(1);
    NullDisplay display;
    GameState s;
    generateLevel(s, sliders.view(), random, display);
    s.tileW = static_cast<float>(582.0 / 59);
    s.tileH = static_cast<float>(525.0 / 47);
    s.sceneReady = true;
    return s;
}

void BM_composeScene(benchmark::State& state) {
    const GameState s = level80();
    for (auto _ : state) {
        auto texts = composeScene(s);
        benchmark::DoNotOptimize(texts.data());
    }
    state.counters["entities"] = static_cast<double>(composeScene(s).size());
}
BENCHMARK(BM_composeScene)->Unit(benchmark::kMicrosecond);

// A renderer on a window-sized QImage whose render event ends the frame loop after one frame.
struct OneFrameRenderer {
    OneFrameRenderer() {
        renderer.renderInit(&surface);
        renderer.render = [this](std::int16_t&) { renderer.renderStop(); };
    }
    OneFrameRenderer(const OneFrameRenderer&) = delete;
    OneFrameRenderer& operator=(const OneFrameRenderer&) = delete;

    ImageSurface surface{"Kestro", QSize(582, 525)};
    NoDialog dialog;
    cRender renderer{dialog, [] {}};
};

// compose + renderEntitiesFill + one frame (clear, draw, present, render event).
void BM_sceneFrame(benchmark::State& state) {
    const GameState s = level80();
    OneFrameRenderer r;
    for (auto _ : state) {
        r.renderer.renderEntitiesFill(composeScene(s), -1, -1);
        r.renderer.renderStart();
        benchmark::DoNotOptimize(r.surface.image().constBits());
    }
    state.counters["entities"] = static_cast<double>(r.renderer.entities().size());
}
BENCHMARK(BM_sceneFrame)->Unit(benchmark::kMicrosecond);

// The drawing alone: one frame of a list that is already in place.
void BM_frameOnly(benchmark::State& state) {
    OneFrameRenderer r;
    r.renderer.renderEntitiesFill(composeScene(level80()), -1, -1);
    for (auto _ : state) {
        r.renderer.renderStart();
        benchmark::DoNotOptimize(r.surface.image().constBits());
    }
}
BENCHMARK(BM_frameOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestro
