#pragma once
// The run of `kestro-sim play`: a saved game on virtual time, with pointer moves given in
// advance, and one line per event on a stream.

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/timer_set.h"
#include "records/date.h"
#include "records/entry.h"
#include "savegame/codec.h"
#include "tools/pointer_file.h"

namespace kestro::sim {

// What a run is given besides the game: where it ends, the cell size of the playfield the
// pointer moves over, the moves, the date its completions are recorded with, and whether the
// computer plays instead of the moves.
struct PlayRun {
    Millis end = 0;
    float tileW = 0.0f;
    float tileH = 0.0f;
    std::vector<PointerMove> moves;
    std::string date = records::dateNow();
    bool autopilot = false;
    bool events = false;  // also write each of the rules' events, "<ms> event <name>"
};

// The game when the run ended, how often each timer fired (by TimerId), and the entries of the
// game's runs that had points, in the order they ended (names left empty): the first began from
// the loaded file, each loss began another, and the end of the play ends the last. With the
// autopilot, the pointer moves it made, which played back as run.moves give the same run.
struct PlayEnd {
    GameState state;
    std::array<std::int64_t, kTimerCount> ticks{};
    std::vector<records::Entry> runs;
    std::vector<PointerMove> moves;
};

// The random source ran out of draws (it threw NoDrawLeft) at `at` ms of game time.
class DrawsRanOut : public NoDrawLeft {
  public:
    DrawsRanOut(const NoDrawLeft& cause, Millis at) : NoDrawLeft(cause), at_(at) {}
    Millis at() const { return at_; }

  private:
    Millis at_;
};

// Loads start into a game on sliders, starts its timers at 0, delivers each move up to run.end
// in the millisecond before the timers of its own (a move comes before any timer due in the same
// millisecond), then advances to run.end. Writes to out each game message ("<ms> message
// <text>"), each level end ("<ms> complete|lost level=L score=S"), with run.events each of the
// rules' events ("<ms> event <name>", game/events.h) and last the end line ("end
// ms=... ticks=b/a/l/s level=... score=... banked=... interval=..."). Its runs are followed as
// the window follows them (records/run.h). With run.autopilot the planner (game/planner.h)
// moves the pointer instead of run.moves: in the millisecond of each ball tick, before it.
PlayEnd play(const savegame::DecodedGame& start, const PlayRun& run, RandomSource& random,
             StandardSliders& sliders, std::ostream& out);

}  // namespace kestro::sim
