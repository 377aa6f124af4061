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

// The first kFileSize bytes of a regular file, or all of a shorter one; a saved game written over
// a longer file leaves bytes behind it that are no part of the game. A folder, a FIFO, a device
// or a socket is refused without waiting for or reading anything from it.
Outcome<std::vector<std::uint8_t>, std::string> readGameFile(const std::filesystem::path& path);

// Reads and decodes a file and refuses a game the game cannot run from (decodePlayable). A file
// that cannot be read is refused as Unreadable.
DecodeResult loadGameFile(const std::filesystem::path& path);

// Writes the bytes whole or not at all (see writeWholeFile): a save that fails part-way leaves
// an existing file as it was, and a link is followed to the file it names. Returns the reason of
// a failure, or nothing when the file was written.
std::optional<std::string> writeGameFile(const std::filesystem::path& path, const SaveBytes& bytes);

// Encodes the game with the given key and writes it.
std::optional<std::string> saveGameFile(const std::filesystem::path& path, const GameState& s,
                                        const SliderValues& sliders, std::int32_t fileKey);

}  // namespace kestro::savegame
