// The score box shows the game's score at every moment: after start-up, after Apply and Reset,
// after a level is completed or lost and after a game is loaded, as well as after each score
// tick, in the place and the lettering the score tick writes it in.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QImage>

#include "game/game_clock.h"
#include "game/level.h"
#include "savegame/codec.h"
#include "savegame/slider_values.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace kestro::shell {
namespace {

namespace sg = kestro::savegame;
using test::qtApp;
using test::runSession;

using ShellScoreBox = test::WindowTest;

// What the box shows against what the score tick writes for the game's score: equal pictures
// when the box is true.
struct BoxCheck {
    QImage shown;
    QImage written;
};

BoxCheck checkBox(fMain& window) {
    BoxCheck c;
    c.shown = window.controls().ScoreDisp.surface().image().copy();
    window.display().showScore(window.gameState().score);
    c.written = window.controls().ScoreDisp.surface().image().copy();
    return c;
}

TEST_F(ShellScoreBox, ShowsTheScoreWheneverItChangesOutsideTheTick) {
    const kestro::test::TempDir dir("kestro-score-box");
    // A saved game whose score no level of this window starts with.
    GameState saved;
    saved.score = 4321;
    saved.ballX = 10;
    saved.ballY = 10;
    saved.lastX = 11;
    saved.lastY = 9;
    saved.minInterval = 201;
    saved.ballInterval = 390;
    const sg::SaveBytes bytes = sg::encode(saved, sg::SliderValues{100, 3, 7}, 99);
    const auto file = dir / "saved.egf";
    kestro::test::writeFile(file, std::string(bytes.begin(), bytes.end()));

    // Each case starts from a box that shows what the last score tick wrote, a number other
    // than the one the event leaves.
    constexpr std::int32_t kStale = 53;
    struct Case {
        const char* event;
        std::function<void(fMain&)> act;
        std::int32_t expected;  // the game's score afterwards
        const char* message;    // the message the event shows, if any
    };
    const auto play = [this](fMain& w, Millis ms) {
        w.controls().cPaused.setCheckState(Qt::Unchecked);
        test::playFor(w, time, ms);
        w.controls().cPaused.setCheckState(Qt::Checked);
    };
    const std::vector<Case> cases = {
        // (1 + 300) / 5 rounds to 60; Apply and Reset count the acceleration of the level
        // before: (1 + 300 + 2 x 5) / 5 rounds to 62.
        {"start-up", nullptr, 60, nullptr},
        {"Apply",
         [](fMain& w) {
             w.gameState().bankedScore = 40;
             w.display().showScore(kStale);
             w.controls().apply.click();
         },
         62 + 40, nullptr},
        {"Reset",
         [](fMain& w) {
             w.gameState().bankedScore = 40;
             w.display().showScore(kStale);
             w.controls().reset.click();
         },
         62, nullptr},
        {"completion",
         [&](fMain& w) {
             for (const Cell& g : kGoalCells) {
                 w.gameState().tiles.set(g.x, g.y, tileEmpty);
             }
             w.gameState().score = kStale;
             w.display().showScore(kStale);
             // The first LevelUp tick, before the first score tick: level 2 on the 53 carried,
             // (4 + 300 + 2 x 5) / 5 rounding to 63.
             play(w, 200);
         },
         63 + kStale, nullptr},
        {"loss",
         [&](fMain& w) {
             w.gameState().score = 1;
             // The first score tick writes 0 and loses the level: level 1 again from nothing.
             play(w, 520);
         },
         62, kLostMessage},
        {"load",
         [&](fMain& w) {
             w.display().showScore(kStale);
             w.loadGame(file.string());
         },
         4321, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        prompt.messages.clear();
        fMain window(trap, prompt, time);
        BoxCheck box;
        std::int32_t score = 0;
        runSession(window, 2, [&] {
            if (c.act) {
                c.act(window);
            }
            score = window.gameState().score;
            box = checkBox(window);
        });
        EXPECT_EQ(score, c.expected);
        EXPECT_TRUE(box.shown == box.written) << "the box does not show " << score;
        if (c.message != nullptr) {
            EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message});
        } else {
            EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
        }
    }
}

TEST_F(ShellScoreBox, TheScoreTickWritesEachNumberItCountsDownTo) {
    fMain window(trap, prompt, time);
    std::vector<std::int32_t> seen;
    runSession(window, 2, [&] {
        window.controls().cPaused.setCheckState(Qt::Unchecked);
        std::int32_t last = window.gameState().score;
        for (int i = 0; i < 200 && seen.size() < 3; ++i) {
            test::playFor(window, time, 16);
            if (window.gameState().score != last) {
                last = window.gameState().score;
                const BoxCheck box = checkBox(window);
                EXPECT_TRUE(box.shown == box.written) << "the box does not show " << last;
                seen.push_back(last);
            }
        }
    });
    EXPECT_EQ(seen, (std::vector<std::int32_t>{59, 58, 57}));
}

}  // namespace
}  // namespace kestro::shell
