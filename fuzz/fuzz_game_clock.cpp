// The running game on virtual time, from any saved game the loader accepts, through any sequence
// of what the window can do to it. Besides crashes it checks:
// - nothing fails: the loader refuses every game whose values would overflow the game's
//   fixed-width arithmetic, so no run-time error arises from a loaded game or from play;
// - the ball, its previous and next cells and the pointer wall stay on the grid, and the level
//   within the level slider's range;
// - no timer fires while the game is paused;
// - saving and loading at any moment gives the game back: the loader accepts the file, it holds
//   exactly the stored part of the state, and loading it over the running game changes nothing
//   but the level, which is taken from the level slider.
//
// Input:
//   u8 start    bit 0: a saved-game file of 11,184 bytes follows and is loaded as it is (a
//               generated level when it is refused), then u64 seed;
//               otherwise u64 seed, three i32 slider values (kept in range by the sliders),
//               a level generated from them, and u8 n changes of the stored game: u16 field
//               and i32 value. A field below 0x8000 is a tile (mod 2,773), from 0x8000 up one
//               of the sixteen variables, the three sliders and the key (low 15 bits mod 20). The
//               changed game is saved and loaded; a refused file leaves the level unchanged.
//   u8 message  each game message stays open this many ms of message time (0: none)
//   u8 stall    gaps between advances longer than 10 x stall ms count as paused (0: no limit)
//   then operations, u8 each (mod 11) with its operands:
//     0  advance by u16 % 10,001 ms       6  Apply
//     1  pause                            7  Reset
//     2  unpause                          8  slider (u8 mod 3: level, acceleration, speed)
//     3  pointer at two f32                  set to i32
//     4  pointer at two u16 / 100         9  save and load with the key i32
//        (playfield pixels)               10 advance by u8 ms
//     5  cell size: two f32
// Virtual time stops at 60 s, and advancing once 20,000 timer ticks have fired; the game stops
// at 64 operations. So every input runs quickly, even with the ball at its 1 ms period.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <numeric>

#include "common/runtime_error.h"
#include "fuzz/byte_reader.h"
#include "game/display.h"
#include "game/game.h"
#include "game/playfield.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/apply.h"
#include "savegame/codec.h"
#include "savegame/playable.h"

namespace {

namespace sg = kestro::savegame;
using kestro::Game;
using kestro::GameState;
using kestro::Millis;
using kestro::fuzz::ByteReader;

constexpr Millis kTimeLimit = 60'000;
constexpr Millis kLongestAdvance = 10'000;
constexpr std::int64_t kTickLimit = 20'000;
constexpr int kOperationLimit = 64;
constexpr int kOtherFields = 16 + 3 + 1;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Message time that moves on by a fixed step every time it is read.
class SteppingTime final : public kestro::TimeSource {
  public:
    explicit SteppingTime(Millis step) : step_(step) {}
    Millis now() const override { return now_ += step_; }

  private:
    Millis step_;
    mutable Millis now_ = 0;
};

void setStored(sg::DecodedGame& g, int field, std::int32_t value) {
    if (field < kestro::kCells) {
        g.tiles.cells()[static_cast<std::size_t>(field)] = static_cast<std::int16_t>(value);
        return;
    }
    sg::StoredVariables& v = g.variables;
    std::int16_t* const narrow[] = {&v.cursorX,   &v.cursorY,     &v.scanX,       &v.scanY,
                                    &v.lastX,     &v.lastY,       &v.nextX,       &v.nextY,
                                    &v.ballX,     &v.ballY,       &v.minInterval, &v.ballInterval,
                                    &v.accelStep, &v.scatterCount};
    std::int32_t* const wide[] = {&v.bankedScore,    &v.score,        &g.sliders.SSpeed,
                                  &g.sliders.SAccel, &g.sliders.SLvl, &g.fileKey};
    const auto k = static_cast<std::size_t>(field - kestro::kCells);
    if (k < std::size(narrow)) {
        *narrow[k] = static_cast<std::int16_t>(value);
    } else {
        *wide[k - std::size(narrow)] = value;
    }
}

// The game's starting point, always through the codec as a loaded game.
void start(ByteReader& in, Game& game, kestro::StandardSliders& sliders,
           kestro::SeededRandom& random) {
    if ((in.u8() & 1) != 0) {
        const auto file = in.take(sg::kFileSize);
        random.reseed(in.u64());
        const sg::DecodeResult loaded = sg::decodePlayable(file);
        if (loaded) {
            sg::applyDecodedGame(loaded.value(), game.state(), sliders.view());
        } else {
            game.generateLevel();
        }
        return;
    }
    random.reseed(in.u64());
    sliders.SSpeed.setValue(in.i32());
    sliders.SAccel.setValue(in.i32());
    sliders.SLvl.setValue(in.i32());
    game.generateLevel();
    sg::DecodedGame g{game.state().tiles, sg::storedVariables(game.state()),
                      sg::readSliderValues(sliders.view()), 0, false};
    for (int n = in.u8(); n > 0; --n) {
        const std::uint16_t field = in.u16();
        setStored(g,
                  field < 0x8000 ? field % kestro::kCells
                                 : kestro::kCells + (field & 0x7FFF) % kOtherFields,
                  in.i32());
    }
    const sg::DecodeResult loaded = sg::decodePlayable(sg::encode(g));
    if (loaded) {
        sg::applyDecodedGame(loaded.value(), game.state(), sliders.view());
    }
}

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

void checkOnGrid(const Game& game, const kestro::StandardSliders& sliders) {
    const GameState& s = game.state();
    require(kestro::insideGrid(s.ballX, s.ballY));
    require(kestro::insideGrid(s.lastX, s.lastY));
    require(kestro::insideGrid(s.nextX, s.nextY));
    require(kestro::insideGrid(s.cursorX, s.cursorY));
    require(s.level >= sliders.SLvl.min() && s.level <= sliders.SLvl.max());
}

void saveAndLoad(Game& game, kestro::StandardSliders& sliders, std::int32_t key) {
    GameState& s = game.state();
    const sg::SliderValues values = sg::readSliderValues(sliders.view());
    const sg::DecodeResult loaded = sg::decodePlayable(sg::encode(s, values, key));
    require(loaded.ok());
    const sg::DecodedGame& g = loaded.value();
    require(!g.dimensionsTampered && g.fileKey == key);
    require(g.tiles == s.tiles && g.variables == sg::storedVariables(s) && g.sliders == values);

    // The cell size is not stored and may be NaN, which is not equal to itself: it is compared
    // by its bits and left out of the comparison of the rest.
    const float w = s.tileW;
    const float h = s.tileH;
    GameState expected = s;
    sg::applyDecodedGame(g, s, sliders.view());
    expected.level = static_cast<std::int16_t>(values.SLvl);
    require(sameBits(s.tileW, w) && sameBits(s.tileH, h));
    expected.tileW = expected.tileH = s.tileW = s.tileH = 0.0f;
    require(s == expected);
    s.tileW = w;
    s.tileH = h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in({data, size});
    kestro::StandardSliders sliders;
    static kestro::SeededRandom random(0);  // the start reseeds it
    kestro::NullDisplay display;
    try {
        // The message clock's step is read after the start, whose length depends on its kind.
        SteppingTime messageTime(0);
        Game game(sliders.view(), random, display, &messageTime);
        start(in, game, sliders, random);
        game.state().tileW = static_cast<float>(kestro::kDesignFieldWidth) / kestro::kCols;
        game.state().tileH = static_cast<float>(kestro::kDesignFieldHeight) / kestro::kRows;
        messageTime = SteppingTime(in.u8());
        if (const std::uint8_t stall = in.u8(); stall != 0) {
            game.setStallLimit(Millis{stall} * 10);
        }
        checkOnGrid(game, sliders);

        Millis t = 0;
        for (int op = 0; op < kOperationLimit && !in.empty(); ++op) {
            const int operation = in.u8() % 11;
            switch (operation) {
                case 0:
                case 10: {
                    const Millis delta =
                        operation == 0 ? in.u16() % (kLongestAdvance + 1) : in.u8();
                    const auto& fired = game.ticks();
                    if (std::accumulate(fired.begin(), fired.end(), std::int64_t{0}) >=
                        kTickLimit) {
                        break;
                    }
                    t = std::min(t + delta, kTimeLimit);
                    const bool paused = game.paused();
                    const auto ticks = game.ticks();
                    game.advanceTo(t);
                    require(!paused || game.ticks() == ticks);
                    break;
                }
                case 1:
                    game.setPaused(true, t);
                    break;
                case 2:
                    game.setPaused(false, t);
                    break;
                case 3: {
                    const float x = in.f32();
                    game.mouseMove(x, in.f32());
                    break;
                }
                case 4: {
                    const float x = in.u16() / 100.0f;
                    game.mouseMove(x, in.u16() / 100.0f);
                    break;
                }
                case 5:
                    game.state().tileW = in.f32();
                    game.state().tileH = in.f32();
                    break;
                case 6:
                    game.apply();
                    break;
                case 7:
                    game.reset();
                    break;
                case 8: {
                    kestro::Slider* const all[] = {&sliders.SLvl, &sliders.SAccel, &sliders.SSpeed};
                    kestro::Slider& slider = *all[in.u8() % 3];
                    slider.setValue(in.i32());
                    break;
                }
                case 9:
                    saveAndLoad(game, sliders, in.i32());
                    break;
            }
            checkOnGrid(game, sliders);
        }
        saveAndLoad(game, sliders, 12345);
    } catch (const kestro::RuntimeError&) {
        std::abort();
    }
    return 0;
}
