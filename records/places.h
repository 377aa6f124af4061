#pragma once
// Where the records of the user running the game are kept.

#include <filesystem>
#include <optional>

namespace kestro::records {

// The high-score table: $XDG_DATA_HOME/kestro/scores (only an absolute XDG_DATA_HOME counts),
// else ~/.local/share/kestro/scores (HOME, else the home of the password entry); nothing when
// neither is known.
std::optional<std::filesystem::path> scoresPath();

// The game saved when the window closes: $XDG_STATE_HOME/kestro/last.egf, else
// ~/.local/state/kestro/last.egf; nothing when neither is known.
std::optional<std::filesystem::path> lastGamePath();

// The player's preferences: $XDG_CONFIG_HOME/kestro/kestro.conf, else
// ~/.config/kestro/kestro.conf; nothing when neither is known.
std::optional<std::filesystem::path> preferencesPath();

// The run record kept beside a saved game: the same name with the extension ".run".
std::filesystem::path runRecordPath(const std::filesystem::path& savedGame);

}  // namespace kestro::records
