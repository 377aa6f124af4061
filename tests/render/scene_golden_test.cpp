// Golden fingerprints of whole frames: for a table of grids, each composed with a range of cell
// sizes, the entity texts of the scene and the pixels of the frame the renderer draws from them
// on the QImage surface; and a run of frames through one renderer whose list grows, shrinks and
// changes in between. The fingerprints were taken from the first implementation; a faster one
// must give every byte and every pixel the same.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
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
#include "tests/support/grids.h"

namespace kestro {
namespace {

using test::GoldenHash;
using test::ScriptedDialog;

constexpr std::int16_t kKnown[] = {tileWall, tileBall, tileBlock, tileGoal, tileMarker};
constexpr std::int16_t kUnknown[] = {3, 99, -7};

GameState borderGrid() {
    GameState s;
    s.tiles = test::borderWalls();
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
            h.endItem();
        }
    } catch (const RuntimeError& e) {
        h.add("error");
        h.addValue(e.number());
    }
}

// The pixels; the sample tells the image's size and its three commonest colours with their
// counts.
void addImage(GoldenHash& h, const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        h.add(image.constScanLine(y), static_cast<std::size_t>(image.width()) * sizeof(QRgb));
        if (!h.sampleFull()) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                ++counts[line[x]];
            }
        }
    }
    if (h.sampleFull()) {
        return;
    }
    std::vector<std::pair<int, QRgb>> commonest;
    commonest.reserve(counts.size());
    for (const auto& [colour, count] : counts) {
        commonest.emplace_back(-count, colour);
    }
    std::sort(commonest.begin(), commonest.end());
    std::string summary = std::to_string(image.width()) + "x" + std::to_string(image.height());
    for (std::size_t i = 0; i < commonest.size() && i < 3; ++i) {
        char colour[16];
        std::snprintf(colour, sizeof colour, " %08x:", commonest[i].second);
        summary += colour + std::to_string(-commonest[i].first);
    }
    h.note(summary);
    h.nextLine();
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
        const char* textSample;
        const char* pixelSample;
    };
    const Case cases[] = {
        {"empty", GameState{}, 14695981039346656037u, 5348412637291527737u, "",
         "error9 582x525 ffc8c8c8:305550\n"
         "error9 582x525 ffc8c8c8:305550\n"
         "error9 582x525 ffc8c8c8:305550\n"
         "error9 582x525 ffc8c8c8:305550\n"
         "error9 582x525 ffc8c8c8:305550\n"
         "error9 582x525 ffc8c8c8:305550\n"},
        {"border", borderGrid(), 2134011757826721665u, 9168231154969600705u,
         "0\\r\\n9.864407\\r\\n0\\r\\n11.17021\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n11.17021\\r\\n22.34043\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n22.34043\\r\\n33.51064\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n33.51064\\r\\n44.68085\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n44.68085\\r\\n55.85106\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n55.85106\\r\\n67.02128\\r\\n24\\r\\nc0\n",
         "582x525 ffc8c8c8:282686 ff000000:22864\n"
         "582x525 ffc8c8c8:288510 ff000000:17040\n"
         "582x525 ffc8c8c8:305342 ff000000:208\n"
         "582x525 ffc8c8c8:305538 ff000000:12\n"
         "582x525 ffc8c8c8:291623 ff000000:13927\n"
         "582x525 ffc8c8c8:305550\n"},
        {"full", fullGrid(), 8125747705984783859u, 13093153978890359388u,
         "0\\r\\n9.864407\\r\\n0\\r\\n11.17021\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n11.17021\\r\\n22.34043\\r\\n20\\r\\nc65280\n"
         "0\\r\\n9.864407\\r\\n22.34043\\r\\n33.51064\\r\\n20\\r\\nc16711680\n"
         "0\\r\\n9.864407\\r\\n33.51064\\r\\n44.68085\\r\\n28\\r\\nc255\n"
         "0\\r\\n9.864407\\r\\n44.68085\\r\\n55.85106\\r\\n24\\r\\nc16728128\n"
         "0\\r\\n9.864407\\r\\n55.85106\\r\\n67.02128\\r\\n24\\r\\nc0\n",
         "582x525 ff4040ff:61162 ff000000:61142 ffff0000:61142\n"
         "582x525 ff000000:54780 ff4040ff:54780 ffff0000:54700\n"
         "582x525 ffc8c8c8:302777 ff000000:555 ff4040ff:555\n"
         "582x525 ffc8c8c8:305190 ff000000:72 ff0000ff:72\n"
         "582x525 ffc8c8c8:105956 ff000000:43259 ff4040ff:43236\n"
         "582x525 ffc8c8c8:305550\n"},
        {"5 percent", randomGrid(1, 5, false), 2813176351754642838u, 17138277756326306715u,
         "0\\r\\n9.864407\\r\\n212.234\\r\\n223.4043\\r\\n20\\r\\nc65280\n"
         "0\\r\\n9.864407\\r\\n301.5957\\r\\n312.766\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n312.766\\r\\n323.9362\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n357.4468\\r\\n368.617\\r\\n28\\r\\nc255\n"
         "9.864407\\r\\n19.72881\\r\\n491.4893\\r\\n502.6596\\r\\n24\\r\\nc0\n"
         "19.72881\\r\\n29.59322\\r\\n22.34043\\r\\n33.51064\\r\\n20\\r\\nc16711680\n",
         "582x525 ffc8c8c8:290983 ff000000:4160 ff4040ff:3308\n"
         "582x525 ffc8c8c8:292418 ff000000:3800 ff4040ff:3000\n"
         "582x525 ffc8c8c8:305408 ff000000:38 ff4040ff:30\n"
         "582x525 ffc8c8c8:305533 ffff0000:5 ff0000ff:4\n"
         "582x525 ffc8c8c8:294494 ff000000:3283 ff4040ff:2500\n"
         "582x525 ffc8c8c8:305550\n"},
        {"30 percent", randomGrid(2, 30, false), 4425075622715337338u, 6871615032071539202u,
         "0\\r\\n9.864407\\r\\n0\\r\\n11.17021\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n11.17021\\r\\n22.34043\\r\\n20\\r\\nc65280\n"
         "0\\r\\n9.864407\\r\\n33.51064\\r\\n44.68085\\r\\n24\\r\\nc16728128\n"
         "0\\r\\n9.864407\\r\\n44.68085\\r\\n55.85106\\r\\n20\\r\\nc65280\n"
         "0\\r\\n9.864407\\r\\n55.85106\\r\\n67.02128\\r\\n20\\r\\nc16711680\n"
         "0\\r\\n9.864407\\r\\n78.19149\\r\\n89.3617\\r\\n20\\r\\nc65280\n",
         "582x525 ffc8c8c8:223633 ff4040ff:19670 ff000000:18480\n"
         "582x525 ffc8c8c8:231414 ff4040ff:17820 ff000000:16720\n"
         "582x525 ffc8c8c8:304740 ff4040ff:179 ff000000:168\n"
         "582x525 ffc8c8c8:305433 ff4040ff:28 ff000000:24\n"
         "582x525 ffc8c8c8:245766 ff4040ff:14550 ffff0000:13856\n"
         "582x525 ffc8c8c8:305550\n"},
        {"70 percent, unknown codes", randomGrid(3, 70, true), 4172166694172020201u,
         4185861231659053489u,
         "0\\r\\n9.864407\\r\\n0\\r\\n11.17021\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n11.17021\\r\\n22.34043\\r\\n20\\r\\nc65280\n"
         "0\\r\\n9.864407\\r\\n22.34043\\r\\n33.51064\\r\\n20\\r\\nc65280\n"
         "0\\r\\n9.864407\\r\\n67.02128\\r\\n78.19149\\r\\n20\\r\\nc65280\n"
         "0\\r\\n9.864407\\r\\n89.3617\\r\\n100.5319\\r\\n28\\r\\nc255\n"
         "0\\r\\n9.864407\\r\\n100.5319\\r\\n111.7021\\r\\n20\\r\\nc65280\n",
         "582x525 ffc8c8c8:106914 ff4040ff:45878 ff000000:43593\n"
         "582x525 ffc8c8c8:126730 ff4040ff:41380 ff000000:39280\n"
         "582x525 ffc8c8c8:303577 ff4040ff:417 ff0000ff:406\n"
         "582x525 ffc8c8c8:305293 ff4040ff:60 ff00ff00:51\n"
         "582x525 ffc8c8c8:163555 ff4040ff:32298 ff000000:30408\n"
         "582x525 ffc8c8c8:305550\n"},
        {"all cells, unknown codes", randomGrid(4, 100, true), 10851975701225373359u,
         9803697955308311360u,
         "0\\r\\n9.864407\\r\\n0\\r\\n11.17021\\r\\n24\\r\\nc16728128\n"
         "0\\r\\n9.864407\\r\\n11.17021\\r\\n22.34043\\r\\n24\\r\\nc16728128\n"
         "0\\r\\n9.864407\\r\\n22.34043\\r\\n33.51064\\r\\n24\\r\\nc0\n"
         "0\\r\\n9.864407\\r\\n33.51064\\r\\n44.68085\\r\\n28\\r\\nc255\n"
         "0\\r\\n9.864407\\r\\n44.68085\\r\\n55.85106\\r\\n20\\r\\nc16711680\n"
         "0\\r\\n9.864407\\r\\n55.85106\\r\\n67.02128\\r\\n28\\r\\nc255\n",
         "582x525 ff000000:62296 ffff0000:61549 ff4040ff:55747\n"
         "582x525 ff000000:55620 ffff0000:55240 ffc8c8c8:54682\n"
         "582x525 ffc8c8c8:302777 ff00ff00:602 ff000000:565\n"
         "582x525 ffc8c8c8:305190 ff0000ff:87 ffff0000:75\n"
         "582x525 ffc8c8c8:106928 ffff0000:44534 ff000000:41513\n"
         "582x525 ffc8c8c8:305550\n"},
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
        EXPECT_EQ(texts.sample(), c.textSample) << c.name;
        EXPECT_EQ(pixels.sample(), c.pixelSample) << c.name;
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
    EXPECT_EQ(h.sample(),
              "582x525 ffc8c8c8:199839 ffff0000:24109 ff4040ff:22083\n"
              "582x525 ffc8c8c8:199839 ffff0000:23999 ff4040ff:22193\n"
              "582x525 ffc8c8c8:199839 ffff0000:23999 ff4040ff:22193\n"
              "582x525 ffc8c8c8:199753 ffff0000:23999 ff4040ff:22193\n"
              "582x525 ffc8c8c8:194446 ff000000:23720 ffff0000:23680\n"
              "582x525 ffc8c8c8:194446 ff000000:23720 ffff0000:23680\n");
}

}  // namespace
}  // namespace kestro
