// fMain's File menu: saving the game to a file and loading it back, and the hold that every
// dialog of the window puts on the game. All file work happens after the dialog has closed,
// without yielding, so no tick sees a half-written file or a half-loaded game.

#include <filesystem>
#include <optional>
#include <string>

#include "savegame/apply.h"
#include "savegame/file_key.h"
#include "savegame/game_file.h"
#include "savegame/slider_values.h"
#include "shell/fmain.h"

namespace kestro::shell {

namespace {

// The folder of a chosen file, offered again by the next dialog.
std::string folderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

}  // namespace

void fMain::holdGame(const std::function<void()>& dialog) {
    game_.holdWhile([&] {
        armClock();  // no tick wakes the game while the dialog is open
        dialog();
    });
    armClock();
}

void fMain::showMessage(const std::string& text) {
    holdGame([&] { prompt_.showMessage(text); });
}

void fMain::mnuSave_Click() {
    // The game holds while the dialog is open, so the file holds the game as it stood when Save
    // was chosen.
    std::optional<std::string> path;
    holdGame([&] { path = fileDialog_->askSavePath(prefs_.get(kLastFolder)); });
    if (!path) {
        return;  // cancelled: nothing happens and nothing is shown
    }
    // The values as they stand now that the dialog has closed; the game first, then the folder.
    const auto saved = savegame::saveGameFile(
        *path, game_.state(), savegame::readSliderValues(sliders()), savegame::fileKeyNow());
    prefs_.set(kLastFolder, folderOf(*path));
    if (!saved) {
        showMessage(std::string(kNotSavedMessage) + saved.error());
    }
}

void fMain::mnuOpen_Click() {
    std::optional<std::string> path;
    holdGame([&] { path = fileDialog_->askOpenPath(prefs_.get(kLastFolder)); });
    if (!path) {
        return;
    }
    loadGame(*path);
}

void fMain::loadGame(const std::string& path) {
    if (!loadInto(path)) {
        return;
    }
    // A load ends the run that was going on; what comes from a file is marked as such.
    keepRun(runs_.end(), true);
    runs_.beginLoaded(game_.state());
}

bool fMain::loadInto(const std::string& path) {
    prefs_.set(kLastFolder, folderOf(path));
    // The whole file is read and checked before anything of the running game changes.
    const auto loaded = savegame::loadSavedGame(path);
    if (!loaded) {
        showMessage(savegame::refusalText(loaded.error()));
        return false;
    }
    for (const std::string& note : loaded.value().notes) {
        showMessage(note);  // and loading goes on
    }
    // The pause state, the timers and their periods stay; the next frame shows the loaded grid.
    savegame::applyDecodedGame(loaded.value().game, game_.state(), sliders());
    armClock();  // the loaded grid and ball period decide which ticks can change anything
    showTrueScore();
    return true;
}

}  // namespace kestro::shell
