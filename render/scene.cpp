#include "render/scene.h"

#include <cmath>
#include <cstdint>

#include "common/runtime_error.h"
#include "diag/log.h"
#include "render/crender.h"
#include "render/entity.h"

namespace kestro {

namespace {

// The colour text and flags of each tile that has a colour.
struct TileStyle {
    std::int16_t code;
    const char* text;
    std::int32_t flags;
};

constexpr TileStyle kTileStyles[] = {
    {tileWall, "c0", flagRectangle | flagSolid},
    {tileBall, "c16711680", flagEllipse | flagSolid},
    {tileBlock, "c16728128", flagRectangle | flagSolid},
    {tileGoal, "c65280", flagEllipse | flagSolid},
    {tileMarker, "c255", flagRectangle | flagEllipse | flagSolid},
};

// Sets the colour text and flags of a tile's entity; false for a code without a colour.
bool styleOf(std::int16_t code, renderEntity& e) {
    for (const TileStyle& style : kTileStyles) {
        if (style.code == code) {
            e.text = style.text;
            e.flags = style.flags;
            return true;
        }
    }
    return false;
}

// A coordinate that single precision cannot hold is an overflow, as in any arithmetic of the
// program.
float finite(float v) {
    if (!std::isfinite(v)) {
        throw overflowError();
    }
    return v;
}

}  // namespace

std::vector<std::string> composeScene(const GameState& s) {
    std::vector<std::string> texts;
    // One working record for the whole scene: a code without a colour keeps the text and flags
    // of the entity composed before it.
    renderEntity e;
    for (int x = 0; x < kCols; ++x) {
        for (int y = 0; y < kRows; ++y) {
            const std::int16_t code = s.tiles.at(x, y);
            if (code == tileEmpty) {
                continue;
            }
            if (!styleOf(code, e)) {
                errorLogWrite("There's an undefined number in renderer_render!", kLevelError);
            }
            e.x1 = finite(static_cast<float>(x) * s.tileW);
            e.x2 = finite(e.x1 + s.tileW);
            e.y1 = finite(static_cast<float>(y) * s.tileH);
            e.y2 = finite(e.y1 + s.tileH);
            texts.push_back(entityToText(e));
        }
    }
    return texts;
}

void renderer_render(const GameState& s, cRender& renderer, const std::function<void()>& yield) {
    yield();
    if (!s.sceneReady) {
        return;
    }
    std::vector<std::string> texts = composeScene(s);
    // A grid without tiles (a loaded empty game) is shown empty: one entity that draws nothing
    // takes the place of the previous list, whose other slots the renderer then clears.
    if (texts.empty()) {
        texts.push_back(entityToText(renderEntity{}));
    }
    renderer.renderEntitiesFill(texts, -1, -1);
}

}  // namespace kestro
