#include "savegame/game_file.h"

#include <span>
#include <utility>

#include "common/read_file.h"
#include "common/whole_file.h"
#include "savegame/layout.h"
#include "savegame/messages.h"
#include "savegame/playable.h"

namespace kestro::savegame {

Result<SavedGame, Refusal> loadSavedGame(const std::filesystem::path& path) {
    using Loaded = Result<SavedGame, Refusal>;
    const auto text = readRegularFile(path, kFileSize, Beyond::Ignore);
    if (!text) {
        return Loaded::failure(Refusal{RefusalKind::Unreadable, describe(text.error(), path)});
    }
    const std::string& bytes = text.value();
    DecodeResult decoded = decodePlayable(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!decoded) {
        return Loaded::failure(decoded.error());
    }
    SavedGame saved{std::move(decoded).value(), {}};
    if (saved.game.dimensionsTampered) {
        saved.notes.emplace_back(kTamperedMessage);
    }
    return Loaded::success(std::move(saved));
}

std::string refusalText(const Refusal& refusal) {
    if (refusal.kind == RefusalKind::WrongVersion) {
        return std::string(kWrongVersionMessage);
    }
    return std::string(kCannotLoadMessage) + refusal.reason;
}

std::string refusalLine(const std::filesystem::path& path, const Refusal& refusal) {
    if (refusal.kind == RefusalKind::Unreadable) {
        return refusal.reason;
    }
    return path.string() + ": " + refusalText(refusal);
}

Result<void> saveGameFile(const std::filesystem::path& path, const GameState& s,
                          const SliderValues& sliders, std::int32_t fileKey) {
    return writeWholeFile(path, encode(s, sliders, fileKey));
}

}  // namespace kestro::savegame
