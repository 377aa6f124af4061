#pragma once
// Saved-game files on disk. Failures come back as values with a reason for the player.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "savegame/codec.h"
#include "savegame/layout.h"
#include "savegame/outcome.h"
#include "savegame/slider_values.h"

namespace kestro::savegame {

// The whole file, at most kFileSize + 1 bytes of it: anything longer is not a saved game, and
// one byte more is enough to tell.
Outcome<std::vector<std::uint8_t>, std::string> readGameFile(const std::filesystem::path& path);

// Reads and decodes a file. A file that cannot be read is refused as Unreadable.
DecodeResult loadGameFile(const std::filesystem::path& path);

// Writes the bytes to a new file beside the target and renames it over the target, so a save
// that fails part-way leaves an existing file as it was. Returns the reason of a failure, or
// nothing when the file was written.
std::optional<std::string> writeGameFile(const std::filesystem::path& path, const SaveBytes& bytes);

// Encodes the game with the given key and writes it.
std::optional<std::string> saveGameFile(const std::filesystem::path& path, const GameState& s,
                                        const SliderValues& sliders, std::int32_t fileKey);

}  // namespace kestro::savegame
