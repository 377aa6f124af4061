// kestro-sim play: runs a saved game on virtual time, with pointer moves given in advance, and
// prints what happens as one line per event.

#include <cstdint>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/display.h"
#include "game/game.h"
#include "game/playfield.h"
#include "game/slider.h"
#include "game/tiles.h"
#include "savegame/apply.h"
#include "tools/cli.h"
#include "tools/commands.h"
#include "tools/game_io.h"
#include "tools/option_parser.h"
#include "tools/pointer_file.h"

namespace kestro::sim {
namespace {

struct TileSize {
    float w = 0.0f;
    float h = 0.0f;
};

// --tile W H, or the layout's cell size.
TileSize tileOption(const ParsedArgs& p) {
    const auto values = p.pair("--tile");
    if (!values) {
        return TileSize{static_cast<float>(kDesignFieldWidth) / kCols,
                        static_cast<float>(kDesignFieldHeight) / kRows};
    }
    const auto w = parseFiniteFloat((*values)[0]);
    const auto h = parseFiniteFloat((*values)[1]);
    if (!w || !h || !(*w > 0.0f) || !(*h > 0.0f)) {
        throw CliError("--tile needs two numbers above 0, not '" + (*values)[0] + " " +
                       (*values)[1] + "'");
    }
    return TileSize{*w, *h};
}

// The game's display for a run without a window: each message is answered at once, and it and
// each level that ends become a line "<ms> ..." on out.
class EventLog final : public GameDisplay {
  public:
    explicit EventLog(std::ostream& out) : out_(out) {}

    void watch(Game& game) {
        game_ = &game;
        game.onLevelEnd = [this](LevelEnd end, Millis at) {
            const GameState& s = game_->state();
            write(std::to_string(at) + (end == LevelEnd::Completed ? " complete" : " lost") +
                  " level=" + std::to_string(s.level) + " score=" + std::to_string(s.score));
        };
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

}  // namespace

int cmdPlay(const Args& args) {
    return run("play", [&] {
        const ParsedArgs p =
            parseArgs(args, {"IN.egf"},
                      {"--ms", "--seed", "--draws", "--pointer", "--out", "--key"}, {"--tile"});
        const Millis end = p.integer("--ms", 0, kMostMillis, 60000);
        const TileSize tile = tileOption(p);
        const std::int32_t key = keyOption(p);
        const auto random = randomOption(p);
        const std::vector<PointerMove> moves =
            p.has("--pointer") ? readPointerFile(*p.text("--pointer")) : std::vector<PointerMove>{};
        const savegame::DecodedGame decoded = loadDecoded(p.positional[0]);
        if (const auto out = p.text("--out")) {
            refuseUnwritable(*out);
        }

        StandardSliders sliders;
        EventLog log(std::cout);
        Game game(sliders.view(), *random, log);
        log.watch(game);
        GameState& s = game.state();
        savegame::applyDecodedGame(decoded, s, sliders.view());
        s.tileW = tile.w;
        s.tileH = tile.h;

        game.setPaused(false, 0);
        try {
            // A move comes before any timer due in the same millisecond.
            for (const PointerMove& m : moves) {
                if (m.ms > end) {
                    break;
                }
                game.advanceTo(m.ms - 1);
                game.mouseMove(m.x, m.y);
            }
            game.advanceTo(end);
        } catch (const std::out_of_range&) {
            if (!p.has("--draws")) {
                throw;
            }
            throw CliError("--draws file '" + *p.text("--draws") + "' ran out of draws at " +
                           std::to_string(game.timers().now()) + " ms");
        }

        const auto& ticks = game.ticks();  // Ball, accel, LevelUp, Score
        log.write("end ms=" + std::to_string(end) + " ticks=" + std::to_string(ticks[0]) + "/" +
                  std::to_string(ticks[1]) + "/" + std::to_string(ticks[2]) + "/" +
                  std::to_string(ticks[3]) + " level=" + std::to_string(s.level) +
                  " score=" + std::to_string(s.score) + " banked=" + std::to_string(s.bankedScore) +
                  " interval=" + std::to_string(s.ballInterval));
        std::cout.flush();
        if (!std::cout) {
            throw CliError("cannot write to standard output");
        }
        if (const auto out = p.text("--out")) {
            save(*out, s, sliders, key);
        }
        return 0;
    });
}

}  // namespace kestro::sim
