#include "savegame/apply.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/slider.h"
#include "savegame/codec.h"
#include "tests/savegame/random_game.h"

namespace kestro::savegame {
namespace {

// A slider that notes every value set on it, in one log shared by the three sliders.
class RecordingSlider final : public Slider {
  public:
    RecordingSlider(std::string name, std::vector<std::string>& log, std::int32_t lo,
                    std::int32_t hi)
        : name_(std::move(name)), log_(log), model_(lo, hi, lo) {}
    std::int32_t min() const override { return model_.min(); }
    std::int32_t max() const override { return model_.max(); }
    std::int32_t value() const override { return model_.value(); }
    void setValue(std::int32_t v) override {
        model_.setValue(v);
        log_.push_back(name_ + "=" + std::to_string(v));
    }

  private:
    std::string name_;
    std::vector<std::string>& log_;
    SliderModel model_;
};

TEST(SaveGameApply, SetsStoredValuesAndSlidersInOrderAndKeepsTheRest) {
    test::RandomGames random(31);
    const GameState saved = random.state();
    const auto decoded = decode(encode(saved, SliderValues{-1, 20, 0}, 86400));
    ASSERT_TRUE(decoded.ok());

    GameState s = random.state();
    s.level = 17;
    s.stepX = 1;
    s.stepY = -1;
    s.randX = 44;
    s.randY = 9;
    s.tileW = 9.75f;
    s.tileH = 11.25f;
    s.sceneReady = true;
    const GameState before = s;

    std::vector<std::string> log;
    RecordingSlider speed("SSpeed", log, -1, 500);
    RecordingSlider accel("SAccel", log, 1, 20);
    RecordingSlider lvl("SLvl", log, 0, 80);
    applyDecodedGame(decoded.value(), s, Sliders{lvl, accel, speed});

    EXPECT_EQ(log, (std::vector<std::string>{"SSpeed=-1", "SAccel=20", "SLvl=0"}));
    EXPECT_EQ(speed.value(), -1);
    EXPECT_EQ(accel.value(), 20);
    EXPECT_EQ(lvl.value(), 0);

    // The stored part is the saved game's and the level is the loaded level slider's (a level-40
    // game loaded into a new one goes on to 41); everything else is as before.
    GameState expected = saved;
    expected.level = 0;
    expected.stepX = before.stepX;
    expected.stepY = before.stepY;
    expected.randX = before.randX;
    expected.randY = before.randY;
    expected.tileW = before.tileW;
    expected.tileH = before.tileH;
    expected.sceneReady = before.sceneReady;
    EXPECT_EQ(s, expected);
}

}  // namespace
}  // namespace kestro::savegame
