#pragma once
// What `kestro-sim play` must print and save, worked out in-process by driving Game directly,
// and the pointer files the tests hand to it.

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "game/display.h"
#include "game/game.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/slider_values.h"

namespace kestro::sim::testing {

struct Move {
    Millis ms = 0;
    float x = 0.0f;
    float y = 0.0f;
};

// The cell size play uses without --tile: the 582 x 525 playfield over 59 x 47 cells.
inline const float kLayoutTileW = static_cast<float>(582) / 59;
inline const float kLayoutTileH = static_cast<float>(525) / 47;

struct PlayResult {
    std::string out;  // stdout, line by line
    GameState state;  // the game at the end
    savegame::SliderValues sliders;
};

// Records messages and level ends as play's lines.
class RecordingDisplay final : public GameDisplay {
  public:
    const Game* game = nullptr;
    std::string lines;

    void setLabel(LabelId, const std::string&) override {}
    void showScore(std::int32_t) override {}
    void showMessage(const std::string& text) override {
        lines += std::to_string(game->timers().now()) + " message " + text + "\n";
    }
};

// The run: the game loaded, the timers started at 0, each move (up to `end`) delivered in the
// millisecond before the timers of its own, then time advanced to `end`. `moveAfterTimers`
// delivers each move after the timers of its millisecond instead, for showing that the order
// matters.
inline PlayResult playInProcess(const savegame::DecodedGame& start, Millis end,
                                RandomSource& random, const std::vector<Move>& moves = {},
                                float tileW = kLayoutTileW, float tileH = kLayoutTileH,
                                bool moveAfterTimers = false) {
    StandardSliders sliders;
    RecordingDisplay display;
    Game game(sliders.view(), random, display);
    display.game = &game;
    game.onLevelEnd = [&](LevelEnd how, Millis at) {
        display.lines += std::to_string(at) + (how == LevelEnd::Completed ? " complete" : " lost") +
                         " level=" + std::to_string(game.state().level) +
                         " score=" + std::to_string(game.state().score) + "\n";
    };
    savegame::applyDecodedGame(start, game.state(), sliders.view());
    game.state().tileW = tileW;
    game.state().tileH = tileH;
    game.setPaused(false, 0);
    for (const Move& m : moves) {
        if (m.ms > end) {
            break;
        }
        game.advanceTo(moveAfterTimers ? m.ms : m.ms - 1);
        game.mouseMove(m.x, m.y);
    }
    game.advanceTo(end);
    const GameState& s = game.state();
    const auto& t = game.ticks();
    display.lines += "end ms=" + std::to_string(end) + " ticks=" + std::to_string(t[0]) + "/" +
                     std::to_string(t[1]) + "/" + std::to_string(t[2]) + "/" +
                     std::to_string(t[3]) + " level=" + std::to_string(s.level) +
                     " score=" + std::to_string(s.score) +
                     " banked=" + std::to_string(s.bankedScore) +
                     " interval=" + std::to_string(s.ballInterval) + "\n";
    return PlayResult{display.lines, s, savegame::readSliderValues(sliders.view())};
}

// A float written so that reading it back gives the same float.
inline std::string exactText(float v) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

inline std::string pointerFileText(const std::vector<Move>& moves) {
    std::string text;
    for (const Move& m : moves) {
        text += std::to_string(m.ms) + " " + exactText(m.x) + " " + exactText(m.y) + "\n";
    }
    return text;
}

// The pixel position whose pointer wall lands on cell (x, y).
inline Move moveOnto(Millis ms, int x, int y, float tileW = kLayoutTileW,
                     float tileH = kLayoutTileH) {
    return Move{ms, static_cast<float>(x + 1) * tileW, static_cast<float>(y + 1) * tileH};
}

}  // namespace kestro::sim::testing
