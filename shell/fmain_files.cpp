// fMain's File menu: saving the game to a file and loading it back. All file work happens after
// the dialog has closed, without yielding, so no tick sees a half-written file or a half-loaded
// game.

#include <filesystem>
#include <string>

#include "savegame/apply.h"
#include "savegame/file_key.h"
#include "savegame/game_file.h"
#include "savegame/messages.h"
#include "savegame/slider_values.h"
#include "shell/fmain.h"

namespace kestro::shell {

namespace {

// The folder of a chosen file, offered again by the next dialog.
std::string folderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

}  // namespace

void fMain::mnuSave_Click() {
    const auto path = fileDialog_->askSavePath(lastFolder_);
    if (!path) {
        return;  // cancelled: nothing happens and nothing is shown
    }
    lastFolder_ = folderOf(*path);
    // The values as they stand now that the dialog has closed.
    const auto failure = savegame::saveGameFile(
        *path, game_.state(), savegame::readSliderValues(sliders()), savegame::fileKeyNow());
    if (failure) {
        prompt_.showMessage(std::string(kNotSavedMessage) + *failure);
    }
}

void fMain::mnuOpen_Click() {
    const auto path = fileDialog_->askOpenPath(lastFolder_);
    if (!path) {
        return;
    }
    loadGame(*path);
}

void fMain::loadGame(const std::string& path) {
    lastFolder_ = folderOf(path);
    // The whole file is read and checked before anything of the running game changes.
    const savegame::DecodeResult loaded = savegame::loadGameFile(path);
    if (!loaded) {
        prompt_.showMessage(savegame::refusalText(loaded.error()));
        return;
    }
    if (loaded.value().dimensionsTampered) {
        prompt_.showMessage(std::string(savegame::kTamperedMessage));  // and loading goes on
    }
    // The pause state, the timers and their periods stay; the next frame shows the loaded grid.
    savegame::applyDecodedGame(loaded.value(), game_.state(), sliders());
}

}  // namespace kestro::shell
