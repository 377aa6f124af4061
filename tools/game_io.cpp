#include "tools/game_io.h"

#include <chrono>
#include <iostream>
#include <limits>
#include <utility>

#include "common/whole_file.h"
#include "savegame/apply.h"
#include "savegame/file_key.h"
#include "savegame/game_file.h"
#include "savegame/messages.h"
#include "savegame/slider_values.h"
#include "tools/draws_file.h"

namespace kestro::sim {

namespace sg = kestro::savegame;

sg::DecodedGame loadDecoded(const std::string& path) {
    sg::DecodeResult result = sg::loadGameFile(path);
    if (!result.ok()) {
        if (result.error().kind == sg::RefusalKind::Unreadable) {
            throw CliError(result.error().message);
        }
        throw CliError(path + ": " + result.error().message);
    }
    if (result.value().dimensionsTampered) {
        std::cerr << "kestro-sim: note: " << path << ": " << sg::kTamperedMessage << "\n";
    }
    return std::move(result).value();
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
    if (auto failure = sg::saveGameFile(path, s, sg::readSliderValues(sliders.view()), key)) {
        throw CliError(*failure);
    }
}

void refuseUnwritable(const std::string& path) {
    if (auto reason = checkWritable(path)) {
        throw CliError(*reason);
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
