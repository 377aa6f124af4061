// Any grid at any cell size through the scene composition, the renderer's entity list and one
// frame on a small QImage surface. What can fail must fail with a run-time error, never crash:
// - a grid handed over as the window does (the render event) fails only with an overflow (6),
//   and not at all with finite cell sizes up to 10^6 pixels; except that a renderer that has
//   never had a list takes no list of a single entity (9);
// - a list handed over with any bounds, or with texts that are not the scene's, fails only with
//   an overflow (6), a subscript (9), a type mismatch (13) or an invalid colour (380);
// - the scene holds one entity per non-empty cell.
//
// Input: the grid (fuzz/grid_bytes.h), then
//   u8 how      bit 0: cell size as two f32, else two u8 / 8; bit 1: the list goes to
//               renderEntitiesFill with i32 bounds from the input and the remaining input, cut
//               at NUL bytes, is added as entity texts; else the render event hands it over;
//               bit 2: the render event has handed over a walled grid before
//   u8 width, u8 height of the image, each mod 65

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QSize>

#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "fuzz/byte_reader.h"
#include "fuzz/grid_bytes.h"
#include "game/game_state.h"
#include "render/crender.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"

namespace {

using kestro::fuzz::ByteReader;
namespace errnum = kestro::errnum;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class AbortingDialog final : public kestro::TrapDialog {
  public:
    int ask(const std::string&, const std::string&) override { return kestro::kAnswerAbort; }
};

bool saneSize(float v) {
    return std::isfinite(v) && std::fabs(v) <= 1e6f;
}

int nonEmptyCells(const kestro::Tiles& tiles) {
    int n = 0;
    for (const std::int16_t code : tiles.cells()) {
        n += code != kestro::tileEmpty;
    }
    return n;
}

std::vector<std::string> textsCutAtNul(std::string_view rest) {
    std::vector<std::string> texts;
    while (!rest.empty() && texts.size() < 16) {
        const std::size_t end = rest.find('\0');
        texts.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return texts;
}

}  // namespace

// fontconfig, which Qt's fonts load, keeps parts of the configuration it parses until the
// process ends; that is not the program's leak.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_scene_render";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in({data, size});
    kestro::GameState s;
    s.tiles = kestro::fuzz::gridFromBytes(in);
    s.sceneReady = true;
    const std::uint8_t how = in.u8();
    if ((how & 1) != 0) {
        s.tileW = in.f32();
        s.tileH = in.f32();
    } else {
        s.tileW = in.u8() / 8.0f;
        s.tileH = in.u8() / 8.0f;
    }
    const bool anyList = (how & 2) != 0;
    const int width = in.u8() % 65;
    const int height = in.u8() % 65;

    AbortingDialog dialog;
    kestro::ImageSurface surface("Kestro", QSize(width, height));
    kestro::cRender* self = nullptr;
    kestro::cRender renderer(dialog, [&self] { self->renderStop(); });  // one frame
    self = &renderer;
    require(renderer.renderInit(&surface));
    const bool fresh = (how & 4) == 0;
    if (!fresh) {
        kestro::GameState walled;
        kestro::fuzz::setBorder(walled.tiles);
        walled.tileW = walled.tileH = 1.0f;
        walled.sceneReady = true;
        kestro::renderer_render(walled, renderer, [] {});
    }

    try {
        if (anyList) {
            std::vector<std::string> texts = kestro::composeScene(s);
            require(static_cast<int>(texts.size()) == nonEmptyCells(s.tiles));
            const std::int32_t low = in.i32();
            const std::int32_t high = in.i32();
            for (std::string& text : textsCutAtNul(kestro::fuzz::asText(in.rest()))) {
                texts.push_back(std::move(text));
            }
            renderer.renderEntitiesFill(texts, low, high);
        } else {
            kestro::renderer_render(s, renderer, [] {});
        }
        renderer.renderStart();
    } catch (const kestro::RuntimeError& e) {
        if (anyList) {
            require(e.number() == errnum::kOverflow || e.number() == errnum::kSubscriptOutOfRange ||
                    e.number() == errnum::kTypeMismatch ||
                    e.number() == errnum::kInvalidPropertyValue);
        } else if (e.number() == errnum::kSubscriptOutOfRange) {
            require(fresh && nonEmptyCells(s.tiles) <= 1);
        } else {
            require(e.number() == errnum::kOverflow);
            require(!saneSize(s.tileW) || !saneSize(s.tileH));
        }
    }
    return 0;
}
