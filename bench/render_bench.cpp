// One frame of the game as the window draws it, for three grids: the border alone, a level-1
// layout and every cell filled. "pipeline" is the whole path of a frame: the scene composed as
// entity texts, handed to the renderer, parsed, and drawn on the QImage surface (clear, shapes,
// present). "qpainter" draws the same shapes straight onto an image of the same size with
// QPainter, antialiasing off, without the text round trip: the yardstick. The stages of the
// pipeline are measured on their own too. After the run a table gives the ratio of the two for
// each grid (CPU time; the medians when the run has repetitions).
//
//   render_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
//   render_bench --benchmark_min_time=0     # one iteration each: a quick check that it runs

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>

#include "common/rounding.h"
#include "diag/error_trap.h"
#include "game/display.h"
#include "game/game_state.h"
#include "game/level.h"
#include "game/playfield.h"
#include "game/random.h"
#include "game/slider.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"

namespace kestro {
namespace {

// The playfield of the window at its start-up size.
constexpr int kFieldWidth = kDesignFieldWidth;
constexpr int kFieldHeight = kDesignFieldHeight;

class NoDialog final : public TrapDialog {
  public:
    int ask(const std::string&, const std::string&) override { return kAnswerAbort; }
};

GameState withWindowCells(GameState s) {
    s.tileW = static_cast<float>(static_cast<double>(kFieldWidth) / kCols);
    s.tileH = static_cast<float>(static_cast<double>(kFieldHeight) / kRows);
    s.sceneReady = true;
    return s;
}

GameState borderGrid() {
    GameState s;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            if (x == 0 || x == kCols - 1 || y == 0 || y == kRows - 1) {
                s.tiles.set(x, y, tileWall);
            }
        }
    }
    return withWindowCells(s);
}

GameState levelOneGrid() {
    StandardSliders sliders;  // level 1 is the level slider's start value
    SeededRandom random(1);
    NullDisplay display;
    GameState s;
    generateLevel(s, sliders.view(), random, display);
    return withWindowCells(s);
}

// Every cell holds a tile: the border walls around a mix of all five kinds.
GameState fullGrid() {
    constexpr std::int16_t kinds[] = {tileWall, tileBall, tileBlock, tileGoal, tileMarker};
    GameState s;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            const bool border = x == 0 || x == kCols - 1 || y == 0 || y == kRows - 1;
            s.tiles.set(x, y, border ? tileWall : kinds[(x * 7 + y * 3) % 5]);
        }
    }
    return withWindowCells(s);
}

struct Grid {
    const char* name;
    GameState (*make)();
};

const Grid kGrids[] = {{"border", borderGrid}, {"level1", levelOneGrid}, {"full", fullGrid}};

// A renderer on a playfield-sized QImage whose render event ends the frame loop after one frame.
struct OneFrameRenderer {
    OneFrameRenderer() {
        renderer.renderInit(&surface);
        renderer.render = [this](std::int16_t&) { renderer.renderStop(); };
    }
    OneFrameRenderer(const OneFrameRenderer&) = delete;
    OneFrameRenderer& operator=(const OneFrameRenderer&) = delete;

    void frame() {
        renderer.renderStart();
        benchmark::DoNotOptimize(surface.image().constBits());
    }

    ImageSurface surface{"Kestro", QSize(kFieldWidth, kFieldHeight)};
    NoDialog dialog;
    cRender renderer{dialog, [] {}};
};

void checkEntities(benchmark::State& state, std::size_t got, std::size_t want) {
    if (got != want) {
        state.SkipWithError("the renderer does not hold one entity per non-empty cell");
    }
    state.counters["entities"] = static_cast<double>(want);
}

// Compose, fill and one frame, as the window does it every frame.
void pipeline(benchmark::State& state, const Grid& grid) {
    const GameState s = grid.make();
    OneFrameRenderer r;
    for (auto _ : state) {
        r.renderer.renderEntitiesFill(composeScene(s), -1, -1);
        r.frame();
    }
    checkEntities(state, r.renderer.entities().size(), composeScene(s).size());
}

// The colour of each tile's text ("c" + red + 256 green + 65536 blue) and what it draws.
struct TilePaint {
    std::int16_t code;
    QRgb colour;
    bool box;
    bool ellipse;
};

constexpr TilePaint kPaints[] = {
    {tileWall, qRgb(0, 0, 0), true, false},      {tileBall, qRgb(0, 0, 255), false, true},
    {tileBlock, qRgb(64, 64, 255), true, false}, {tileGoal, qRgb(0, 255, 0), false, true},
    {tileMarker, qRgb(255, 0, 0), true, true},
};

// The same frame drawn straight from the grid, as a Qt program would: clear, then each tile's
// solid box and/or ellipse over the same pixels as the surface's (left..right-1,
// top..bottom-1). Boxes are filled rectangles; pen and brush change only with the colour.
void drawStraight(QImage& image, const GameState& s, const QColor& background) {
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QRgb current = qRgb(255, 255, 255);
    painter.setPen(QColor(current));
    painter.setBrush(QColor(current));
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            const std::int16_t code = s.tiles.at(x, y);
            if (code == tileEmpty) {
                continue;
            }
            for (const TilePaint& paint : kPaints) {
                if (paint.code != code) {
                    continue;
                }
                const float x1 = static_cast<float>(x) * s.tileW;
                const float y1 = static_cast<float>(y) * s.tileH;
                const int left = nearest<int>(x1);
                const int top = nearest<int>(y1);
                const QRect cell(QPoint(left, top), QPoint(nearest<int>(x1 + s.tileW) - 1,
                                                           nearest<int>(y1 + s.tileH) - 1));
                if (paint.box) {
                    painter.fillRect(cell, QColor(paint.colour));
                }
                if (paint.ellipse) {
                    if (paint.colour != current) {
                        current = paint.colour;
                        painter.setPen(QColor(current));
                        painter.setBrush(QColor(current));
                    }
                    painter.drawEllipse(cell.adjusted(0, 0, -1, -1));
                }
            }
        }
    }
}

void qpainter(benchmark::State& state, const Grid& grid) {
    const GameState s = grid.make();
    QImage image(kFieldWidth, kFieldHeight, QImage::Format_RGB32);
    const QColor background(Qt::white);
    for (auto _ : state) {
        drawStraight(image, s, background);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The stages on their own.
void compose(benchmark::State& state, const Grid& grid) {
    const GameState s = grid.make();
    for (auto _ : state) {
        auto texts = composeScene(s);
        benchmark::DoNotOptimize(texts.data());
    }
}

// The fill of a list that is already in place, as in most frames of the game.
void fillSame(benchmark::State& state, const Grid& grid) {
    const GameState s = grid.make();
    const std::vector<std::string> texts = composeScene(s);
    OneFrameRenderer r;
    for (auto _ : state) {
        r.renderer.renderEntitiesFill(texts, -1, -1);
        benchmark::DoNotOptimize(r.renderer.entities().data());
    }
}

// The fill when every text differs from the one before (a new level or a resized window): two
// lists of the grid with different cell sizes, taken in turn.
void fillNew(benchmark::State& state, const Grid& grid) {
    GameState s = grid.make();
    const std::vector<std::string> first = composeScene(s);
    s.tileW += 0.5f;
    s.tileH += 0.5f;
    const std::vector<std::string> second = composeScene(s);
    OneFrameRenderer r;
    bool flip = false;
    for (auto _ : state) {
        r.renderer.renderEntitiesFill(flip ? second : first, -1, -1);
        flip = !flip;
        benchmark::DoNotOptimize(r.renderer.entities().data());
    }
}

// One frame (clear, draw, present) of a list that is already in place.
void draw(benchmark::State& state, const Grid& grid) {
    OneFrameRenderer r;
    r.renderer.renderEntitiesFill(composeScene(grid.make()), -1, -1);
    for (auto _ : state) {
        r.frame();
    }
}

void registerAll() {
    using Body = void (*)(benchmark::State&, const Grid&);
    const std::pair<const char*, Body> kinds[] = {
        {"pipeline", pipeline}, {"qpainter", qpainter}, {"compose", compose},
        {"fillSame", fillSame}, {"fillNew", fillNew},   {"draw", draw},
    };
    for (const auto& [kind, body] : kinds) {
        for (const Grid& grid : kGrids) {
            benchmark::RegisterBenchmark((std::string(kind) + "/" + grid.name).c_str(), body, grid)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}

// The console output as usual, and the CPU time per iteration of each benchmark kept for the
// table: the median of the repetitions when there is one, otherwise the last run's figure.
class TableReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred) {
                failed_ = true;
                continue;
            }
            if ((run.run_type == Run::RT_Aggregate && !median)) {
                continue;
            }
            if (median || !medians_.contains(name)) {
                cpu_[name] = run.GetAdjustedCPUTime();
            }
            if (median) {
                medians_[name] = true;
            }
        }
    }

    bool failed() const { return failed_; }

    // grid, pipeline, QPainter and their ratio against the goal of that grid.
    void printRatios() const {
        const std::pair<const char*, double> goals[] = {
            {"border", 0.0}, {"level1", 2.0}, {"full", 1.5}};
        std::printf("\n%-8s %14s %14s %8s %6s\n", "grid", "pipeline(us)", "qpainter(us)", "ratio",
                    "goal");
        for (const auto& [grid, goal] : goals) {
            const auto p = cpu_.find(std::string("pipeline/") + grid);
            const auto q = cpu_.find(std::string("qpainter/") + grid);
            if (p == cpu_.end() || q == cpu_.end() || q->second <= 0.0) {
                continue;
            }
            const double ratio = p->second / q->second;
            std::printf("%-8s %14.1f %14.1f %8.2f %6s\n", grid, p->second, q->second, ratio,
                        goal > 0.0 ? (ratio <= goal ? "met" : "missed") : "-");
        }
    }

  private:
    std::map<std::string, double> cpu_;
    std::map<std::string, bool> medians_;
    bool failed_ = false;
};

}  // namespace
}  // namespace kestro

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    kestro::registerAll();
    kestro::TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return reporter.failed() ? 1 : 0;
}
