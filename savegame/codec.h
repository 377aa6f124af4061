#pragma once
// Encoding a game into the bytes of a saved-game file and decoding such bytes back. Decoding
// either accepts the whole file or refuses it with a reason; it never gives part of a game.

#include <cstdint>
#include <span>
#include <string>

#include "common/result.h"
#include "game/game_state.h"
#include "game/tiles.h"
#include "savegame/layout.h"
#include "savegame/slider_values.h"

namespace kestro::savegame {

// The sixteen variables a saved game stores, by the names of the game state.
struct StoredVariables {
    std::int16_t cursorX = 0, cursorY = 0;
    std::int16_t scanX = 0, scanY = 0;
    std::int16_t lastX = 0, lastY = 0;
    std::int16_t nextX = 0, nextY = 0;
    std::int16_t ballX = 0, ballY = 0;
    std::int16_t minInterval = 0;
    std::int16_t ballInterval = 0;
    std::int16_t accelStep = 0;
    std::int16_t scatterCount = 0;
    std::int32_t bankedScore = 0;
    std::int32_t score = 0;

    friend bool operator==(const StoredVariables&, const StoredVariables&) = default;
};

StoredVariables storedVariables(const GameState& s);

// Everything an accepted file holds.
struct DecodedGame {
    Tiles tiles;
    StoredVariables variables;
    SliderValues sliders;
    std::int32_t fileKey = 0;
    // The dimension fields were not 58 and 46: the player is told the file has been tampered
    // with (kTamperedMessage), and the game loads all the same.
    bool dimensionsTampered = false;

    friend bool operator==(const DecodedGame&, const DecodedGame&) = default;
};

enum class RefusalKind {
    WrongVersion,      // the tag is not "EGF1.0BR"
    WrongSize,         // shorter than kFileSize bytes
    ValueOutOfRange,   // a tile or 16-bit variable outside -32768..32767
    CellOutsideGrid,   // the ball, its previous or next cell, or the pointer's cell
    SliderOutOfRange,  // a slider value outside its slider's Min..Max
    NotPlayable,       // a value the game cannot run from (see playable.h)
    Unreadable,        // the file could not be read at all
};

// Why a file is not loaded. The reason says only what is wrong; refusalText (game_file.h) makes
// the sentence the player reads.
struct Refusal {
    RefusalKind kind;
    std::string reason;
};

using DecodeResult = Result<DecodedGame, Refusal>;

// The file of the game's stored values, hidden with fileKey.
SaveBytes encode(const GameState& s, const SliderValues& sliders, std::int32_t fileKey);
// The file of a decoded game with its own key; the dimension fields are always 58 and 46.
SaveBytes encode(const DecodedGame& g);
// The whole game held by the first kFileSize bytes, or why they are refused; anything after them
// is ignored. Dimension fields other than 58 and 46 do not refuse the file; they set
// dimensionsTampered.
DecodeResult decode(std::span<const std::uint8_t> bytes);

}  // namespace kestro::savegame
