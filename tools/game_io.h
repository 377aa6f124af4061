#pragma once
// What the game subcommands share: naming their errors, loading and saving games, and the
// --key, --seed and --draws options.

#include <cstdint>
#include <memory>
#include <string>

#include "common/runtime_error.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/codec.h"
#include "tools/cli.h"
#include "tools/option_parser.h"

namespace kestro::sim {

// A saved game as the file holds it (savegame::loadSavedGame), or a CliError with the file's name
// and the reason. Each note of the load goes to stderr with the file's name.
savegame::DecodedGame loadDecoded(const std::string& path);

// A loaded game with its sliders.
struct LoadedGame {
    GameState state;
    StandardSliders sliders;
};
std::unique_ptr<LoadedGame> load(const std::string& path);

// --key K, or the key of the time of day.
std::int32_t keyOption(const ParsedArgs& p);

void save(const std::string& path, const GameState& s, StandardSliders& sliders, std::int32_t key);

// A CliError when a game could not be saved at path, as far as can be told before saving: so that
// a long run is not made for an output that is then lost.
void refuseUnwritable(const std::string& path);

// The generator of --seed N, the draws of --draws FILE, or one seeded from the clock.
std::unique_ptr<RandomSource> randomOption(const ParsedArgs& p);

}  // namespace kestro::sim
