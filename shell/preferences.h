#pragma once
// The player's preferences, kept between runs in the per-user configuration: an INI file read
// once when the window is made and written again at once whenever a preference changes.
//
// A preference is a key with its default, declared once below; adding one is one line here and
// its use. A file that is missing gives the defaults; one that cannot be read or makes no sense
// (damaged, too large, not a regular file, unreadable) gives the defaults too, says so once, and
// is left as it is for the rest of the run. A file that cannot be written keeps the changes for
// this run only, and says so once.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <QVariant>

namespace kestro::shell {

// An on/off preference: its key in the file ("Group/Name") and its value when none is kept.
struct SwitchPreference {
    const char* key;
    bool byDefault;
};

// A text preference; empty when none is kept.
struct TextPreference {
    const char* key;
    const char* byDefault = "";
};

// Leaving the window (minimizing it, another application taking the focus) pauses the game.
inline constexpr SwitchPreference kPauseWhenLeft{"Game/PauseWhenLeft", true};
// The folder the file dialogs offer first: the folder of the last file saved or opened.
inline constexpr TextPreference kLastFolder{"Files/LastFolder"};
// The game's sounds; while off no audio device is opened.
inline constexpr SwitchPreference kPlaySounds{"Sound/PlaySounds", true};
// The palette the playfield is drawn in, by its name (render/palette.h).
inline constexpr TextPreference kColours{"View/Colours", "classic"};
// The name the last high-score entry went in under, offered for the next one.
inline constexpr TextPreference kPlayerName{"Player/Name"};

// The most of the file that is read; a longer one is refused as damaged.
inline constexpr std::uintmax_t kPreferencesLimit = 64 * 1024;

// Qt's own settings (those its file dialog keeps, in QtProject.conf) go to a place that cannot be
// made, so Qt writes nothing into the user's configuration; the game's preferences name their
// file and are not affected. Called before the application is made.
void keepQtSettingsOutOfTheUsersConfig();

class Preferences {
  public:
    // The notes of a file that cannot be read or written, each a line (without its end).
    using Note = std::function<void(const std::string&)>;

    // The preferences kept in file; none (nullopt) keeps them for this run only.
    Preferences(std::optional<std::filesystem::path> file, Note note);

    // The user's preferences ($XDG_CONFIG_HOME/kestro/kestro.conf), with notes on stderr.
    static Preferences user();

    bool get(const SwitchPreference& p) const;
    std::string get(const TextPreference& p) const;
    // Changes a preference and writes the file at once (unless the value is the same).
    void set(const SwitchPreference& p, bool value);
    void set(const TextPreference& p, const std::string& value);

    const std::optional<std::filesystem::path>& file() const { return file_; }

  private:
    void read();
    void store(const char* key, const QVariant& value);
    void tell(const std::string& line);

    std::optional<std::filesystem::path> file_;
    Note note_;
    std::map<std::string, QVariant> values_;  // the keys as read or set
    bool writable_ = true;                    // false once the file could not be read
    bool told_ = false;                       // a note has been given
};

}  // namespace kestro::shell
