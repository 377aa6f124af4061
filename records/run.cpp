#include "records/run.h"

#include "game/slider.h"
#include "records/table.h"

namespace kestro::records {

LevelFacts LevelFacts::of(const GameState& s) {
    // A level built from the sliders has minInterval = SSpeed's Max - top speed + 1.
    return LevelFacts{s.level, s.accelStep, kSpeedSlider.max - std::int32_t{s.minInterval} + 1};
}

std::string formatRunRecord(const RunRecord& record) {
    std::string text(kRunVersionLine);
    text += record.fromSavedGame ? "\norigin saved\n" : "\norigin fresh\n";
    if (record.best) {
        text += "best " + detail::formatScore(*record.best) + "\n";
    }
    return text;
}

Result<RunRecord, std::string> parseRunRecord(std::string_view text) {
    using R = Result<RunRecord, std::string>;
    const auto lines = detail::splitLines(text);
    if (!lines) {
        return R::failure(lines.error());
    }
    const auto& l = lines.value();
    if (l.empty() || l[0] != kRunVersionLine) {
        return R::failure("line 1: not '" + std::string(kRunVersionLine) + "'");
    }
    RunRecord record;
    if (l.size() < 2 || (l[1] != "origin saved" && l[1] != "origin fresh")) {
        return R::failure("line 2: not 'origin saved' or 'origin fresh'");
    }
    record.fromSavedGame = l[1] == "origin saved";
    if (l.size() > 3) {
        return R::failure("line 4: more than a best score");
    }
    if (l.size() == 3) {
        const auto fields = detail::splitFields(l[2], 6);
        if (!fields || (*fields)[0] != "best") {
            return R::failure("line 3: not 'best <points> <level> <accel> <speed> <date>'");
        }
        auto score = detail::parseScore({fields->begin() + 1, fields->end()});
        if (!score) {
            return R::failure("line 3: " + score.error());
        }
        record.best = std::move(score).value();
    }
    return R::success(std::move(record));
}

void RunTracker::levelRebuilt(const GameState& s) {
    if (run_) {
        run_->playing = LevelFacts::of(s);
    }
}

std::optional<Entry> RunTracker::levelEnded(LevelEnd end, const GameState& s,
                                            std::string_view date) {
    if (end == LevelEnd::Lost) {
        auto ended = this->end();
        beginFresh(s);
        return ended;
    }
    if (run_) {
        auto& best = run_->record.best;
        if (!best || s.bankedScore > best->points) {
            const LevelFacts& done = run_->playing;
            best = RunScore{s.bankedScore, done.level, done.accel, done.speed, std::string(date)};
        }
        run_->playing = LevelFacts::of(s);
    }
    return std::nullopt;
}

std::optional<Entry> RunTracker::end() {
    std::optional<Entry> entry;
    if (run_ && run_->record.best) {
        entry = Entry{std::string(), *run_->record.best, run_->record.fromSavedGame};
    }
    run_.reset();
    return entry;
}

std::optional<RunRecord> RunTracker::record() const {
    return run_ ? std::optional<RunRecord>(run_->record) : std::nullopt;
}

}  // namespace kestro::records
