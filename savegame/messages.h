#pragma once
// The texts the player sees when a saved game cannot be loaded as it is.

#include <string_view>

namespace kestro::savegame {

// The file does not begin with the version tag; nothing is loaded.
inline constexpr std::string_view kWrongVersionMessage =
    "Sorry, this file is not the correct version, or has been tampered with!";

// The grid dimensions stored in the file are not 58 and 46; the file is loaded all the same.
inline constexpr std::string_view kTamperedMessage = "Sorry, this file has been tampered with!";

// Begins the sentence of every other refusal, followed by the reason; nothing is loaded.
inline constexpr std::string_view kCannotLoadMessage = "Sorry, this file cannot be loaded: ";

}  // namespace kestro::savegame
