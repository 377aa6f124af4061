// kestro-sim new, step and show: building, stepping and printing saved games.

#include <cstdint>
#include <iostream>
#include <limits>
#include <string>
#include <utility>

#include "game/ball.h"
#include "game/display.h"
#include "game/game_state.h"
#include "game/grid_text.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/state_bounds.h"
#include "savegame/slider_values.h"
#include "tools/cli.h"
#include "tools/commands.h"
#include "tools/game_io.h"
#include "tools/option_parser.h"

namespace kestro::sim {

namespace sg = kestro::savegame;

int cmdNew(const Args& args) {
    return run("new", [&] {
        const ParsedArgs p = parseArgs(args, {"OUT.egf"},
                                       {"--level", "--accel", "--speed", "--banked", "--prev-accel",
                                        "--seed", "--draws", "--key"});
        StandardSliders sliders;
        const auto level =
            p.integer("--level", sliders.SLvl.min(), sliders.SLvl.max(), kLevelSlider.start);
        const auto accel =
            p.integer("--accel", sliders.SAccel.min(), sliders.SAccel.max(), kAccelSlider.start);
        const auto speed =
            p.integer("--speed", sliders.SSpeed.min(), sliders.SSpeed.max(), kSpeedSlider.start);
        GameState s;
        // Only a game that loads again is built: the banked score leaves room for the level's
        // bonus on top of it, and the previous acceleration is one the game can have had.
        s.bankedScore = static_cast<std::int32_t>(
            p.integer("--banked", kScoreRange.min, kScoreRange.max - kMostLevelBonus, 0));
        s.accelStep = static_cast<std::int16_t>(
            p.integer("--prev-accel", kAccelStepRange.min, kAccelStepRange.max, 0));
        const std::int32_t key = keyOption(p);
        const auto random = randomOption(p);

        refuseUnwritable(p.positional[0]);

        sliders.SLvl.setValue(static_cast<std::int32_t>(level));
        sliders.SAccel.setValue(static_cast<std::int32_t>(accel));
        sliders.SSpeed.setValue(static_cast<std::int32_t>(speed));
        NullDisplay display;
        try {
            generateLevel(s, sliders.view(), *random, display);
        } catch (const NoDrawLeft&) {
            if (!p.has("--draws")) {
                throw;
            }
            throw CliError("--draws file '" + *p.text("--draws") +
                           "' ran out of draws before the level was built");
        }
        save(p.positional[0], s, sliders, key);
        return 0;
    });
}

int cmdStep(const Args& args) {
    return run("step", [&] {
        const ParsedArgs p = parseArgs(args, {"IN.egf", "OUT.egf"}, {"--ticks", "--key"});
        const auto ticks = p.integer("--ticks", 0, kMostTicks, 1);
        const std::int32_t key = keyOption(p);
        const auto game = load(p.positional[0]);
        refuseUnwritable(p.positional[1]);
        for (std::int64_t i = 0; i < ticks; ++i) {
            Ball_Timer(game->state);
        }
        save(p.positional[1], game->state, game->sliders, key);
        return 0;
    });
}

int cmdShow(const Args& args) {
    return run("show", [&] {
        const ParsedArgs p = parseArgs(args, {"IN.egf"}, {});
        const auto game = load(p.positional[0]);
        const GameState& s = game->state;
        const sg::SliderValues sl = sg::readSliderValues(game->sliders.view());
        const std::pair<const char*, std::int64_t> values[] = {
            {"cursorX", s.cursorX},
            {"cursorY", s.cursorY},
            {"scanX", s.scanX},
            {"scanY", s.scanY},
            {"lastX", s.lastX},
            {"lastY", s.lastY},
            {"nextX", s.nextX},
            {"nextY", s.nextY},
            {"ballX", s.ballX},
            {"ballY", s.ballY},
            {"minInterval", s.minInterval},
            {"ballInterval", s.ballInterval},
            {"accelStep", s.accelStep},
            {"scatterCount", s.scatterCount},
            {"bankedScore", s.bankedScore},
            {"score", s.score},
            {"SSpeed", sl.SSpeed},
            {"SAccel", sl.SAccel},
            {"SLvl", sl.SLvl},
        };
        std::string out;
        for (const auto& [name, value] : values) {
            out += std::string(name) + " = " + std::to_string(value) + "\n";
        }
        out += gridText(s.tiles);
        std::cout << out << std::flush;
        if (!std::cout) {
            throw CliError("cannot write to standard output");
        }
        return 0;
    });
}

}  // namespace kestro::sim
