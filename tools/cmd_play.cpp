// kestro-sim play: the options of a run on virtual time, its output checked and its end saved.

#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/playfield.h"
#include "game/slider.h"
#include "game/tiles.h"
#include "records/files.h"
#include "records/player_name.h"
#include "tools/cli.h"
#include "tools/commands.h"
#include "tools/game_io.h"
#include "tools/option_parser.h"
#include "tools/play.h"
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

// --scores FILE: each run of the play with points goes into the table in FILE under --name (or
// the name the window would offer first), as the window records them. A damaged table moved
// aside is told on stderr; a run that cannot be kept is an error.
void recordRuns(const ParsedArgs& p, const std::vector<records::Entry>& runs) {
    const auto file = p.text("--scores");
    if (!file) {
        return;
    }
    const std::string name = p.text("--name").value_or(records::defaultName(std::nullopt));
    for (records::Entry entry : runs) {
        entry.name = name;
        const auto recorded = records::recordRun(*file, std::move(entry));
        if (!recorded) {
            throw CliError(recorded.error());
        }
        if (recorded.value().notice) {
            std::cerr << "kestro-sim: play: " << *recorded.value().notice << "\n";
        }
    }
}

}  // namespace

int cmdPlay(const Args& args) {
    return run("play", [&] {
        const ParsedArgs p = parseArgs(args, {"IN.egf"},
                                       {"--ms", "--seed", "--draws", "--pointer", "--out", "--key",
                                        "--scores", "--name", "--moves-out"},
                                       {"--tile"}, {"--autopilot", "--events"});
        if (p.has("--name") && !p.has("--scores")) {
            throw CliError("--name needs --scores");
        }
        const bool autopilot = p.has("--autopilot");
        if (autopilot && p.has("--pointer")) {
            throw CliError("--autopilot and --pointer cannot be used together");
        }
        if (p.has("--moves-out") && !autopilot) {
            throw CliError("--moves-out needs --autopilot");
        }
        const Millis end = p.integer("--ms", 0, kMostMillis, 60000);
        const TileSize tile = tileOption(p);
        const std::int32_t key = keyOption(p);
        const auto random = randomOption(p);
        const std::vector<PointerMove> moves =
            p.has("--pointer") ? readPointerFile(*p.text("--pointer")) : std::vector<PointerMove>{};
        const savegame::DecodedGame decoded = loadDecoded(p.positional[0]);
        for (const char* option : {"--out", "--moves-out"}) {
            if (const auto out = p.text(option)) {
                refuseUnwritable(*out);
            }
        }

        StandardSliders sliders;
        PlayEnd played;
        try {
            PlayRun run{end, tile.w, tile.h, moves};
            run.autopilot = autopilot;
            run.events = p.has("--events");
            played = play(decoded, run, *random, sliders, std::cout);
        } catch (const DrawsRanOut& e) {
            if (!p.has("--draws")) {
                throw;
            }
            throw CliError("--draws file '" + *p.text("--draws") + "' ran out of draws at " +
                           std::to_string(e.at()) + " ms");
        }
        std::cout.flush();
        if (!std::cout) {
            throw CliError("cannot write to standard output");
        }
        if (const auto out = p.text("--out")) {
            save(*out, played.state, sliders, key);
        }
        if (const auto movesOut = p.text("--moves-out")) {
            writePointerFile(*movesOut, played.moves);
        }
        // The computer's runs are not the player's: they stay out of the table.
        if (!autopilot) {
            recordRuns(p, played.runs);
        }
        return 0;
    });
}

}  // namespace kestro::sim
