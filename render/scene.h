#pragma once
// Scene composition: the tile grid as entity texts, column by column, top to bottom.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/game_state.h"

namespace kestro {

class cRender;

// The colour number (red + 256 x green + 65536 x blue) a tile code is drawn in, or nothing for a
// code without a colour.
std::optional<std::int32_t> tileColour(std::int16_t code);

// One entity text per non-empty cell, in scan order (x outer, y inner). A code without a colour
// logs "There's an undefined number in renderer_render!" at level 3 and reuses the previous
// entity's text and flags.
std::vector<std::string> composeScene(const GameState& s);

// The window's handler of the render event: yield once, then, while sceneReady, compose the
// scene and hand it to the renderer with both bounds -1.
void renderer_render(const GameState& s, cRender& renderer, const std::function<void()>& yield);

}  // namespace kestro
