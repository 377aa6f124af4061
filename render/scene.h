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
class DrawingSurface;
class TrapDialog;

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

// One frame of the list on the surface, drawn by a renderer of its own (clear, draw, refresh),
// which yields through `yield` and asks `trap` about errors. A fresh renderer takes its first
// list only with two entities or more, as the game's start-up list has, so a shorter list is made
// up with entities that draw nothing. False when the renderer could not be set up.
bool drawListOnce(std::vector<std::string> texts, DrawingSurface& surface, TrapDialog& trap,
                  const std::function<void()>& yield);
// The same for the scene of the state, as composeScene writes it.
bool drawSceneOnce(const GameState& s, DrawingSurface& surface, TrapDialog& trap,
                   const std::function<void()>& yield);

}  // namespace kestro
