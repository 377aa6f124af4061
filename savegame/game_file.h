#pragma once
// Saved-game files on disk: the one way a game is loaded from a file and the one way it is saved.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/result.h"
#include "game/game_state.h"
#include "savegame/codec.h"
#include "savegame/slider_values.h"

namespace kestro::savegame {

// A game a file holds, with what the player is told while it loads all the same.
struct SavedGame {
    DecodedGame game;
    std::vector<std::string> notes;  // kTamperedMessage for a file with the wrong dimensions
};

// Reads the first kFileSize bytes of a regular file (or all of a shorter one: a saved game
// written over a longer file leaves bytes behind it that are no part of the game), decodes them
// and refuses a game the game cannot run from (decodePlayable). A folder, a FIFO, a device or a
// socket is refused as Unreadable without waiting for or reading anything from it; the reason of
// an Unreadable file names its path.
Result<SavedGame, Refusal> loadSavedGame(const std::filesystem::path& path);

// The sentence the player reads for a file that is not loaded: the version message as it stands,
// any other reason after "Sorry, this file cannot be loaded: ".
std::string refusalText(const Refusal& refusal);

// The same for a line that begins with the file's name: the sentence after "<path>: ", or the
// reason alone for a file that could not be read, whose reason names the path already.
std::string refusalLine(const std::filesystem::path& path, const Refusal& refusal);

// Encodes the game with the given key and writes it whole or not at all (see writeWholeFile): a
// save that fails part-way leaves an existing file as it was, and a link is followed to the file
// it names. Returns the reason of a failure.
Result<void> saveGameFile(const std::filesystem::path& path, const GameState& s,
                          const SliderValues& sliders, std::int32_t fileKey);

}  // namespace kestro::savegame
