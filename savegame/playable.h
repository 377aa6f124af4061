#pragma once
// What the loader accepts beyond the file format: the values a game can hold while it is played
// (game/state_bounds.h) and a ball whose previous cell is one diagonal step away. A file the
// format accepts but the game cannot run from is refused before anything of the running game
// changes.

#include <span>

#include "savegame/codec.h"

namespace kestro::savegame {

// Accepts the variables, or refuses them with why the game cannot run from them (NotPlayable).
// The cells are already known to lie on the grid (decode checks them).
Result<void, Refusal> checkPlayable(const StoredVariables& v);

// decode, then checkPlayable: the games the loader accepts.
DecodeResult decodePlayable(std::span<const std::uint8_t> bytes);

}  // namespace kestro::savegame
