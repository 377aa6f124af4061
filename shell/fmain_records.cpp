// fMain's records: the runs of the game going into the high-score table, the table's dialogs,
// and the game kept at the end for File > Resume Last Game.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "diag/log.h"
#include "records/date.h"
#include "records/files.h"
#include "records/places.h"
#include "records/player_name.h"
#include "savegame/file_key.h"
#include "savegame/game_file.h"
#include "savegame/slider_values.h"
#include "shell/fmain.h"

namespace kestro::shell {

void fMain::runLevelEnded(LevelEnd end) {
    std::optional<records::Entry> ended = runs_.levelEnded(end, game_.state(), records::dateNow());
    if (end == LevelEnd::Lost) {
        keepRun(std::move(ended), true);  // a loss ends the run; a completion goes on with it
    }
}

void fMain::keepRun(std::optional<records::Entry> entry, bool ask) {
    // A run the computer played (in part or all) is never recorded; the run that begins now is
    // the computer's only while it still plays.
    const bool byDemo = demoInRun_;
    demoInRun_ = demo_.has_value();
    if (byDemo || !entry || !scoresFile_) {
        return;
    }
    const std::string last = prefs_.get(kPlayerName);
    const std::string offered =
        records::defaultName(last.empty() ? std::nullopt : std::optional<std::string>(last));
    ask = ask && !unloading_;  // a run that ends as the game closes is not asked about
    if (ask) {
        // Only a run that enters the ten is asked a name for; a table that cannot be read is
        // dealt with (moved aside, or told) by recording.
        const auto table = records::readTable(*scoresFile_);
        if (table && !records::rankIn(table.value(), entry->score)) {
            return;
        }
        std::optional<std::string> name;
        holdGame([&] { name = recordsPrompt_->askName(offered); });
        entry->name = records::cleanName(name.value_or(offered));
        prefs_.set(kPlayerName, entry->name);
    } else {
        entry->name = offered;
    }
    const auto recorded = records::recordRun(*scoresFile_, *entry);
    if (!recorded) {
        const std::string text = records::notKeptText(recorded.error());
        errorLogWrite(text, kLevelWarning);
        if (ask && !toldNotKept_) {
            toldNotKept_ = true;
            showMessage(text);
        }
        return;
    }
    if (const auto& notice = recorded.value().notice) {
        errorLogWrite(*notice, kLevelWarning);
        if (ask) {
            showMessage(*notice);
        }
    }
    if (ask && recorded.value().rank) {
        holdGame([&] { recordsPrompt_->showTable(recorded.value().table, recorded.value().rank); });
    }
}

void fMain::mnuHighScores_Click() {
    records::Table table;
    if (scoresFile_) {
        auto read = records::readTable(*scoresFile_);
        if (!read) {
            showMessage(read.error());
            return;
        }
        table = std::move(read.value());
    }
    holdGame([&] { recordsPrompt_->showTable(table, std::nullopt); });
}

bool fMain::lastGameLoads() const {
    return lastGameFile_ && savegame::loadSavedGame(*lastGameFile_).ok();
}

void fMain::mnuResume_Click() {
    if (!lastGameFile_) {
        return;
    }
    const auto record = records::loadRunRecord(records::runRecordPath(*lastGameFile_));
    const std::string path = lastGameFile_->string();
    if (!loadInto(path)) {
        return;
    }
    keepRun(runs_.end(), true);
    if (record) {
        runs_.resume(record.value(), game_.state());
    } else {
        // Without its record the game goes on as a run from a file.
        runs_.beginLoaded(game_.state());
    }
}

void fMain::keepGameAtEnd() {
    if (keptAtEnd_ || !runs_.running()) {
        return;  // kept already, or no level was ever built
    }
    keptAtEnd_ = true;
    if (lastGameFile_) {
        // An old record must not go with the new game: it goes first, and the new one only
        // after the game is in place.
        const std::filesystem::path runFile = records::runRecordPath(*lastGameFile_);
        std::error_code ignored;
        std::filesystem::remove(runFile, ignored);
        auto saved = records::makeFolders(lastGameFile_->parent_path());
        if (saved) {
            saved = savegame::saveGameFile(*lastGameFile_, game_.state(),
                                           savegame::readSliderValues(sliders()),
                                           savegame::fileKeyNow());
        }
        if (saved) {
            // A run the computer played goes on, if resumed, as one from a file.
            if (const auto record = runs_.record(); record && !demoInRun_) {
                saved = records::saveRunRecord(runFile, *record);
            }
        }
        if (!saved) {
            errorLogWrite("The game was not kept for resuming: " + saved.error(), kLevelWarning);
        }
    }
    keepRun(runs_.end(), false);
}

}  // namespace kestro::shell
