// Golden fingerprints of whole frames: for a table of grids, each composed with a range of cell
// sizes, the entity texts of the scene and the pixels of the frame the renderer draws from them
// on the QImage surface; and a run of frames through one renderer whose list grows, shrinks and
// changes in between. The fingerprints were taken from the first implementation; a faster one
// must give every byte and every pixel the same.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QSize>

#include "common/runtime_error.h"
#include "game/game_state.h"
#include "golden_hash.h"
#include "render/crender.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"
#include "render_test_support.h"

namespace kestro {
namespace {

using testing::GoldenHash;
using testing::ScriptedDialog;

constexpr std::int16_t kKnown[] = {tileWall, tileBall, tileBlock, tileGoal, tileMarker};
constexpr std::int16_t kUnknown[] = {3, 99, -7};

GameState borderGrid() {
    GameState s;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            if (x == 0 || x == kCols - 1 || y == 0 || y == kRows - 1) {
                s.tiles.set(x, y, tileWall);
            }
        }
    }
    return s;
}

// percent of the cells hold a tile; one in ten of them a code without a colour when unknown.
GameState randomGrid(std::uint64_t seed, unsigned percent, bool unknown) {
    std::mt19937_64 rng(seed);
    GameState s;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            if (rng() % 100 < percent) {
                const bool odd = unknown && rng() % 10 == 0;
                s.tiles.set(x, y,
                            odd ? kUnknown[rng() % std::size(kUnknown)]
                                : kKnown[rng() % std::size(kKnown)]);
            }
        }
    }
    return s;
}

GameState fullGrid() {
    GameState s;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            s.tiles.set(x, y, kKnown[(x * 7 + y * 3) % 5]);
        }
    }
    return s;
}

struct CellSize {
    float w, h;
};

// The window's cells, whole and fractional pixels, none, negative ones, sizes whose coordinates
// are written with an exponent, one that leaves 32 bits in the frame (6) and one that leaves
// the single range in the composition (6).
const CellSize kSizes[] = {
    {static_cast<float>(582.0 / 59), static_cast<float>(525.0 / 47)},
    {10.0f, 10.0f},
    {1.0f, 1.0f},
    {0.5f, 0.25f},
    {13.37f, 7.9f},
    {-3.3f, 2.2f},
    {0.0f, 5.0f},
    {1e6f, 3e-6f},
    {123.456f, 0.1f},
    {9.9f, 11.2f},
    {5e7f, 1.0f},
    {3e37f, 1.0f},
};

// The texts of the scene, or the error the composition fails with.
void addTexts(GoldenHash& h, const GameState& s) {
    try {
        for (const auto& t : composeScene(s)) {
            h.add(t);
            h.add("|");
        }
    } catch (const RuntimeError& e) {
        h.add("error");
        h.addValue(e.number());
    }
}

void addImage(GoldenHash& h, const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        h.add(image.constScanLine(y), static_cast<std::size_t>(image.width()) * sizeof(QRgb));
    }
}

// The window's handler composes and fills, then one frame is drawn; an error on the way is
// part of the fingerprint, and so is whatever the frame drew before it.
struct FrameRig {
    FrameRig() {
        surface.setBackColor(QColor(200, 200, 200));
        surface.cls();
        renderer.renderInit(&surface);
    }
    void frame(GoldenHash& h, const GameState& s) {
        try {
            renderer_render(s, renderer, [] {});
            renderer.render = [this](std::int16_t&) { renderer.renderStop(); };
            renderer.renderStart();
        } catch (const RuntimeError& e) {
            h.add("error");
            h.addValue(e.number());
        }
        addImage(h, surface.image());
    }

    ImageSurface surface{"Kestro", QSize(582, 525)};
    ScriptedDialog dialog;
    cRender renderer{dialog, [] {}};
};

GameState sized(GameState s, CellSize size) {
    s.tileW = size.w;
    s.tileH = size.h;
    s.sceneReady = true;
    return s;
}

TEST(SceneGolden, GridsAndCellSizesGiveTheSameTextsAndPixels) {
    struct Case {
        const char* name;
        GameState grid;
        std::uint64_t texts;
        std::uint64_t pixels;
    };
    const Case cases[] = {
        {"empty", GameState{}, 14695981039346656037u, 5348412637291527737u},
        {"border", borderGrid(), 2134011757826721665u, 9168231154969600705u},
        {"full", fullGrid(), 8125747705984783859u, 13093153978890359388u},
        {"5 percent", randomGrid(1, 5, false), 2813176351754642838u, 17138277756326306715u},
        {"30 percent", randomGrid(2, 30, false), 4425075622715337338u, 6871615032071539202u},
        {"70 percent, unknown codes", randomGrid(3, 70, true), 4172166694172020201u,
         4185861231659053489u},
        {"all cells, unknown codes", randomGrid(4, 100, true), 10851975701225373359u,
         9803697955308311360u},
    };
    for (const auto& c : cases) {
        GoldenHash texts, pixels;
        for (const CellSize& size : kSizes) {
            const GameState s = sized(c.grid, size);
            addTexts(texts, s);
            FrameRig rig;
            rig.frame(pixels, s);
        }
        EXPECT_EQ(texts.value(), c.texts) << c.name;
        EXPECT_EQ(pixels.value(), c.pixels) << c.name;
    }
}

// One renderer for all frames: lists of different lengths and contents follow each other, and
// single cells change between frames as when the ball moves.
TEST(SceneGolden, ARunOfFramesThroughOneRenderer) {
    std::mt19937_64 rng(99);
    GoldenHash h;
    FrameRig rig;
    GameState s = sized(randomGrid(5, 40, false), kSizes[0]);
    for (int frame = 0; frame < 120; ++frame) {
        switch (rng() % 10) {
            case 0:
                s = sized(randomGrid(rng(), static_cast<unsigned>(rng() % 101), rng() % 2 == 0),
                          kSizes[rng() % 10]);
                break;
            case 1:
                s = sized(s, kSizes[rng() % 10]);
                break;
            default:
                for (auto n = rng() % 4; n > 0; --n) {
                    const int x = static_cast<int>(rng() % kCols);
                    const int y = static_cast<int>(rng() % kRows);
                    s.tiles.set(x, y, rng() % 3 == 0 ? tileEmpty : kKnown[rng() % 5]);
                }
                break;
        }
        rig.frame(h, s);
    }
    EXPECT_EQ(h.value(), 529742057925243515u);
}

}  // namespace
}  // namespace kestro
