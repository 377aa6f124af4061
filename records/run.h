#pragma once
// A run: the levels played from one level built on a banked score of 0 (start-up, New Game, the
// level after a loss) or from a loaded file, through completions and Restart Level, until a loss,
// a New Game, a load or the end of the game. Its points are the highest banked score of its
// completions; a run without a completion has none.
//
// RunTracker follows one game's runs. The front ends (the window, kestro-sim play) tell it what
// the game did, with the game's state just after:
//
//     start-up, New Game      tracker.end() (the run that ends), then beginFresh(state)
//     a file loaded           tracker.end(), then beginLoaded(state)
//     the last game resumed   tracker.end(), then resume(record, state)
//     Restart Level (Apply)   levelRebuilt(state)
//     Game::onLevelEnd        levelEnded(end, state, dateNow())  (a loss ends the run and
//                                                                  begins a fresh one)
//     close, Quit, a signal   tracker.end()
//
// Whatever ends a run gives its entry (when it has points) with the name left empty for the
// caller. The tracker uses nothing but what it is given: the same events give the same runs in
// the window and in the simulator, on real or virtual time.
//
// A run's record, saved beside a saved game so that resuming it continues the run, is text:
//
//     kestro-run 1
//     origin saved|fresh
//     best <points> <level> <accel> <speed> <date>     (only once the run has points)
//
// each line ended by '\n', the fields as in the table (table.h).

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/entry.h"

namespace kestro::records {

// What the level in play was built with: its number, and the acceleration and top speed sliders
// of its build as the state keeps them (accelStep, and the top speed minInterval was made from).
struct LevelFacts {
    std::int32_t level = 0;
    std::int32_t accel = 0;
    std::int32_t speed = 0;

    static LevelFacts of(const GameState& s);
    friend bool operator==(const LevelFacts&, const LevelFacts&) = default;
};

// What a run has gathered so far, as saved beside a saved game.
struct RunRecord {
    bool fromSavedGame = false;
    std::optional<RunScore> best;

    friend bool operator==(const RunRecord&, const RunRecord&) = default;
};

inline constexpr std::string_view kRunVersionLine = "kestro-run 1";

std::string formatRunRecord(const RunRecord& record);
// The record a text holds, or the reason it is not one.
Result<RunRecord, std::string> parseRunRecord(std::string_view text);

class RunTracker {
  public:
    // A run begins on the level just built on a banked score of 0.
    void beginFresh(const GameState& s) { begin(RunRecord{}, s); }
    // A run begins on a game loaded from a file: it carries the mark.
    void beginLoaded(const GameState& s) { begin(RunRecord{true, std::nullopt}, s); }
    // The run of record goes on, on the game saved with it.
    void resume(const RunRecord& record, const GameState& s) { begin(record, s); }

    // Restart Level: the run goes on, on the level just built.
    void levelRebuilt(const GameState& s);

    // A level ended and the next one is built (Game::onLevelEnd). A completion banks
    // s.bankedScore on the level that was in play, dated `date`; a loss ends the run (its entry,
    // if any) and begins a fresh one on the new level.
    std::optional<Entry> levelEnded(LevelEnd end, const GameState& s, std::string_view date);

    // The run ends: its entry when it has points. No run goes on until the next begin.
    std::optional<Entry> end();

    bool running() const { return run_.has_value(); }
    // The record of the run going on, to save beside the game; nothing between runs.
    std::optional<RunRecord> record() const;

  private:
    struct Run {
        RunRecord record;
        LevelFacts playing;
    };
    void begin(const RunRecord& record, const GameState& s) {
        run_ = Run{record, LevelFacts::of(s)};
    }

    std::optional<Run> run_;
};

}  // namespace kestro::records
