#include "tools/play.h"

#include <algorithm>
#include <string>

#include "game/autopilot.h"
#include "game/display.h"
#include "game/game.h"
#include "game/planner.h"
#include "records/run.h"
#include "savegame/apply.h"

namespace kestro::sim {
namespace {

// The game's display for a run without a window: each message is answered at once, and it and
// each level that ends become a line "<ms> ..." on out.
class EventLog final : public GameDisplay, public GameEvents {
  public:
    explicit EventLog(std::ostream& out) : out_(out) {}

    void watch(Game& game) {
        game_ = &game;
        game.onLevelEnd = [this](LevelEnd end, Millis at, std::int16_t) {
            const GameState& s = game_->state();
            write(std::to_string(at) + (end == LevelEnd::Completed ? " complete" : " lost") +
                  " level=" + std::to_string(s.level) + " score=" + std::to_string(s.score));
        };
    }

    void happened(GameEvent event, Millis at) override {
        write(std::to_string(at) + " event " + std::string(eventName(event)));
    }

    void setLabel(LabelId, const std::string&) override {}
    void showScore(std::int32_t) override {}
    void showMessage(const std::string& text) override {
        write(std::to_string(game_ ? game_->timers().now() : 0) + " message " + text);
    }

    void write(std::string line) {
        line += '\n';
        out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    }

  private:
    std::ostream& out_;
    Game* game_ = nullptr;
};

// The planner's play up to `end` (see playAhead): the moves it made.
std::vector<PointerMove> autopilot(Game& game, Millis end) {
    Planner planner;
    std::vector<PointerMove> moves;
    playAhead(game, planner, end, [&](Millis at, PointerPosition p) {
        game.mouseMove(p.x, p.y);
        moves.push_back(PointerMove{at, p.x, p.y});
    });
    return moves;
}

}  // namespace

PlayEnd play(const savegame::DecodedGame& start, const PlayRun& run, RandomSource& random,
             StandardSliders& sliders, std::ostream& out) {
    EventLog log(out);
    Game game(sliders.view(), random, log);
    log.watch(game);
    if (run.events) {
        game.setEvents(&log);
    }
    GameState& s = game.state();
    savegame::applyDecodedGame(start, s, sliders.view());
    s.tileW = run.tileW;
    s.tileH = run.tileH;

    records::RunTracker tracker;
    std::vector<records::Entry> runs;
    tracker.beginLoaded(s);
    game.onLevelEnd = [&, logEnd = game.onLevelEnd](LevelEnd levelEnd, Millis at,
                                                    std::int16_t ended) {
        logEnd(levelEnd, at, ended);
        if (auto entry = tracker.levelEnded(levelEnd, s, run.date)) {
            runs.push_back(std::move(*entry));
        }
    };

    game.setPaused(false, 0);
    std::vector<PointerMove> made;
    try {
        if (run.autopilot) {
            made = autopilot(game, run.end);
        }
        for (const PointerMove& m : run.autopilot ? std::vector<PointerMove>{} : run.moves) {
            if (m.ms > run.end) {
                break;
            }
            game.advanceTo(m.ms - 1);
            game.mouseMove(m.x, m.y);
        }
        game.advanceTo(run.end);
    } catch (const NoDrawLeft& e) {
        throw DrawsRanOut(e, game.timers().now());
    }

    const auto& ticks = game.ticks();  // Ball, accel, LevelUp, Score
    log.write("end ms=" + std::to_string(run.end) + " ticks=" + std::to_string(ticks[0]) + "/" +
              std::to_string(ticks[1]) + "/" + std::to_string(ticks[2]) + "/" +
              std::to_string(ticks[3]) + " level=" + std::to_string(s.level) +
              " score=" + std::to_string(s.score) + " banked=" + std::to_string(s.bankedScore) +
              " interval=" + std::to_string(s.ballInterval));
    if (auto entry = tracker.end()) {
        runs.push_back(std::move(*entry));
    }
    return PlayEnd{s, ticks, std::move(runs), std::move(made)};
}

}  // namespace kestro::sim
