#include "render/scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/runtime_error.h"
#include "diag/log.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render/numbers.h"

namespace kestro {

namespace {

// The colour number and flags of each tile that has a colour. The block's colour is the colour
// of red 64, green 64, blue 0 (16448) plus 16711680.
struct TileStyle {
    std::int16_t code;
    std::int32_t colour;
    std::int32_t flags;
};

constexpr TileStyle kTileStyles[] = {
    {tileWall, 0, flagRectangle | flagSolid},
    {tileBall, 16711680, flagEllipse | flagSolid},
    {tileBlock, 16448 + 16711680, flagRectangle | flagSolid},
    {tileGoal, 65280, flagEllipse | flagSolid},
    {tileMarker, 255, flagRectangle | flagEllipse | flagSolid},
};

// The last two fields of an entity text: flags and colour text.
std::string tailOf(std::int32_t flags, std::string_view text) {
    std::string tail;
    appendTail(tail, flags, text);
    return tail;
}

// The style of a code, or nothing for a code without a colour.
const TileStyle* styleOf(std::int16_t code) {
    for (const TileStyle& style : kTileStyles) {
        if (style.code == code) {
            return &style;
        }
    }
    return nullptr;
}

// A coordinate that single precision cannot hold is an overflow, as in any arithmetic of the
// program.
void requireFinite(float v) {
    if (!std::isfinite(v)) {
        throw overflowError();
    }
}

// The two edges of the cells of one column (x1, x2) or one row (y1, y2), and their written
// coordinate fields, written the first time a cell there is composed.
class Edges {
  public:
    Edges(int index, float size) : low_(static_cast<float>(index) * size), high_(low_ + size) {}

    const std::string& written() {
        requireFinite(low_);
        requireFinite(high_);
        if (written_.empty()) {
            appendCoordinateField(written_, low_);
            appendCoordinateField(written_, high_);
        }
        return written_;
    }

  private:
    float low_;
    float high_;
    std::string written_;
};

}  // namespace

std::optional<std::int32_t> tileColour(std::int16_t code) {
    if (const TileStyle* style = styleOf(code)) {
        return style->colour;
    }
    return std::nullopt;
}

std::vector<std::string> composeScene(const GameState& s) {
    const auto& cells = s.tiles.cells();
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(
        std::count_if(cells.begin(), cells.end(), [](std::int16_t c) { return c != tileEmpty; })));

    // The flags and colour text of each style, and of the empty record that a code without a
    // colour keeps until a tile with one has been composed: such a code reuses the text and
    // flags of the entity before it.
    std::array<std::string, std::size(kTileStyles)> tails;
    for (std::size_t i = 0; i < tails.size(); ++i) {
        tails[i] = tailOf(kTileStyles[i].flags, "c" + std::to_string(kTileStyles[i].colour));
    }
    const renderEntity empty;
    const std::string emptyTail = tailOf(empty.flags, empty.text);
    const std::string* tail = &emptyTail;

    std::vector<Edges> rows;
    rows.reserve(kRows);
    for (int y = 0; y < kRows; ++y) {
        rows.emplace_back(y, s.tileH);
    }
    for (int x = 0; x < kCols; ++x) {
        Edges column(x, s.tileW);
        for (int y = 0; y < kRows; ++y) {
            const std::int16_t code = s.tiles.at(x, y);
            if (code == tileEmpty) {
                continue;
            }
            if (const TileStyle* style = styleOf(code)) {
                tail = &tails[static_cast<std::size_t>(style - kTileStyles)];
            } else {
                errorLogWrite("There's an undefined number in renderer_render!", kLevelError);
            }
            const std::string& xs = column.written();
            const std::string& ys = rows[static_cast<std::size_t>(y)].written();
            std::string& text = texts.emplace_back();
            text.reserve(xs.size() + ys.size() + tail->size());
            text += xs;
            text += ys;
            text += *tail;
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

bool drawListOnce(std::vector<std::string> texts, DrawingSurface& surface, TrapDialog& trap,
                  const std::function<void()>& yield) {
    cRender renderer(trap, yield);
    if (!renderer.renderInit(&surface)) {
        return false;
    }
    // One frame: the handler of the first render event stops the loop.
    renderer.render = [&renderer](std::int16_t&) { renderer.renderStop(); };
    while (texts.size() < 2) {
        texts.push_back(entityToText(renderEntity{}));
    }
    renderer.renderEntitiesFill(texts, -1, -1);
    renderer.renderStart();
    return true;
}

bool drawSceneOnce(const GameState& s, DrawingSurface& surface, TrapDialog& trap,
                   const std::function<void()>& yield) {
    return drawListOnce(composeScene(s), surface, trap, yield);
}

}  // namespace kestro
