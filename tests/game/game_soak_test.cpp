// Hours of play over every level with a random pointer: after every tick the grid holds at most
// one ball and the game is one the loader accepts, and saving and loading the game at random
// moments gives the same game back. A twin game that is never saved plays in step and must end
// exactly where the saved one ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "game/game.h"
#include "game/grid_text.h"
#include "game/playfield.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/tiles.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/playable.h"

namespace kestro {
namespace {

namespace sg = kestro::savegame;

struct Player {
    explicit Player(std::uint64_t seed) : random(seed), game(sliders.view(), random, display) {
        game.state().tileW = static_cast<float>(kDesignFieldWidth) / kCols;
        game.state().tileH = static_cast<float>(kDesignFieldHeight) / kRows;
    }
    StandardSliders sliders;
    SeededRandom random;
    NullDisplay display;
    Game game;
};

// Minutes of game time per level: the full soak plays ten hours; under the sanitizers a slice.
#if defined(__SANITIZE_ADDRESS__)
constexpr Millis kPerLevelMs = 40'000;
#else
constexpr Millis kPerLevelMs = 450'000;
#endif

TEST(GameSoak, EveryLevelWithARandomPointerAndSaveLoadRoundTrips) {
    Player saved(11);
    Player twin(11);
    std::mt19937 rng(2024);
    std::int64_t ticks = 0;
    std::int64_t roundTrips = 0;
    std::string failure;
    saved.game.onTick = [&](TimerId) {
        ++ticks;
        const auto& cells = saved.game.state().tiles.cells();
        if (failure.empty() && std::count(cells.begin(), cells.end(), tileBall) > 1) {
            failure = "two balls after tick " + std::to_string(ticks) + "\n" +
                      gridText(saved.game.state().tiles);
        }
        // Every state the game reaches is one the loader accepts.
        if (const auto refusal = sg::checkPlayable(sg::storedVariables(saved.game.state()));
            failure.empty() && !refusal) {
            failure = "after tick " + std::to_string(ticks) + ": " + refusal.error().reason;
        }
    };

    Millis now = 0;
    for (Player* p : {&saved, &twin}) {
        p->game.setPaused(false, 0);
    }
    for (std::int32_t level = 0; level <= 80 && failure.empty(); ++level) {
        for (Player* p : {&saved, &twin}) {
            p->sliders.SLvl.setValue(level);
            p->game.apply();
        }
        const Millis end = now + kPerLevelMs;
        while (now < end && failure.empty()) {
            now += std::uniform_int_distribution<Millis>(1, 300)(rng);
            const float x = std::uniform_real_distribution<float>(-20.0f, 600.0f)(rng);
            const float y = std::uniform_real_distribution<float>(-20.0f, 540.0f)(rng);
            for (Player* p : {&saved, &twin}) {
                p->game.advanceTo(now);
                p->game.mouseMove(x, y);
            }
            if (rng() % 64 == 0) {
                // Saved and loaded back into the running game: nothing changes.
                GameState& s = saved.game.state();
                const GameState before = s;
                const auto bytes = sg::encode(s, sg::readSliderValues(saved.sliders.view()),
                                              static_cast<std::int32_t>(rng() % 86401));
                const auto decoded = sg::decodePlayable(bytes);
                ASSERT_TRUE(decoded.ok()) << decoded.error().reason;
                sg::applyDecodedGame(decoded.value(), s, saved.sliders.view());
                ASSERT_EQ(s, before) << "at " << now << " ms";
                ++roundTrips;
            }
        }
    }
    ASSERT_EQ(failure, "");
    EXPECT_EQ(saved.game.state(), twin.game.state());
    EXPECT_EQ(saved.game.ticks(), twin.game.ticks());
    EXPECT_GE(now, 81 * kPerLevelMs);
    RecordProperty("game_hours", std::to_string(static_cast<double>(now) / 3'600'000));
    RecordProperty("ticks", std::to_string(ticks));
    RecordProperty("round_trips", std::to_string(roundTrips));
}

}  // namespace
}  // namespace kestro
