#include "tools/game_io.h"

#include <chrono>
#include <iostream>
#include <limits>
#include <utility>

#include "common/whole_file.h"
#include "savegame/apply.h"
#include "savegame/file_key.h"
#include "savegame/game_file.h"
#include "savegame/slider_values.h"
#include "tools/draws_file.h"

namespace kestro::sim {

namespace sg = kestro::savegame;

sg::DecodedGame loadDecoded(const std::string& path) {
    auto loaded = sg::loadSavedGame(path);
    if (!loaded) {
        throw CliError(sg::refusalLine(path, loaded.error()));
    }
    for (const std::string& note : loaded.value().notes) {
        std::cerr << "kestro-sim: note: " << path << ": " << note << "\n";
    }
    return std::move(loaded).value().game;
}

std::unique_ptr<LoadedGame> load(const std::string& path) {
    const sg::DecodedGame decoded = loadDecoded(path);
    auto game = std::make_unique<LoadedGame>();
    sg::applyDecodedGame(decoded, game->state, game->sliders.view());
    return game;
}

std::int32_t keyOption(const ParsedArgs& p) {
    const auto key = p.text("--key");
    return key ? static_cast<std::int32_t>(parseInteger(*key, "--key", 0, 86400))
               : sg::fileKeyNow();
}

void save(const std::string& path, const GameState& s, StandardSliders& sliders, std::int32_t key) {
    if (const auto saved = sg::saveGameFile(path, s, sg::readSliderValues(sliders.view()), key);
        !saved) {
        throw CliError(saved.error());
    }
}

void refuseUnwritable(const std::string& path) {
    if (const auto writable = checkWritable(path); !writable) {
        throw CliError(writable.error());
    }
}

std::unique_ptr<RandomSource> randomOption(const ParsedArgs& p) {
    if (p.has("--seed") && p.has("--draws")) {
        throw CliError("--seed and --draws cannot be used together");
    }
    if (const auto seed = p.text("--seed")) {
        return std::make_unique<SeededRandom>(static_cast<std::uint64_t>(
            parseInteger(*seed, "--seed", 0, std::numeric_limits<std::int64_t>::max())));
    }
    if (const auto file = p.text("--draws")) {
        return std::make_unique<ScriptedRandom>(readDrawsFile(*file));
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return std::make_unique<SeededRandom>(static_cast<std::uint64_t>(now));
}

}  // namespace kestro::sim
