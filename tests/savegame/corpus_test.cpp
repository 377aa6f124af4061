// The fuzzers' seed inputs hold saved games, whole or as changes to a generated level. Every one
// the format accepts must also be a game the loader accepts, except the hostile ones, named
// seed-refused-* (whole files) and seed-overflow-* (changes that once overflowed in play), which
// the loader must refuse.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "game/display.h"
#include "game/level.h"
#include "game/random.h"
#include "game/slider.h"
#include "savegame/codec.h"
#include "savegame/layout.h"
#include "savegame/playable.h"
#include "tests/support/files.h"

namespace kestro::savegame {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    for (const auto& target : fs::directory_iterator(KESTRO_FUZZ_CORPUS)) {
        for (const auto& f : fs::directory_iterator(target.path())) {
            files.push_back(f.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// Little-endian fields read in order, as the game-clock fuzzer reads its input.
class Reader {
  public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    std::uint64_t take(std::size_t n) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n && at_ < bytes_.size(); ++i, ++at_) {
            v |= std::uint64_t{static_cast<unsigned char>(bytes_[at_])} << (8 * i);
        }
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(take(4))); }

  private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

// The game a fuzz_game_clock input with a generated start saves and loads: the level of the
// three slider values with the listed changes (see fuzz/fuzz_game_clock.cpp).
SaveBytes generatedStart(const std::string& bytes) {
    Reader in(bytes);
    in.take(1);
    SeededRandom random(in.take(8));
    StandardSliders sliders;
    sliders.SSpeed.setValue(in.i32());
    sliders.SAccel.setValue(in.i32());
    sliders.SLvl.setValue(in.i32());
    NullDisplay display;
    GameState s;
    generateLevel(s, sliders.view(), random, display);
    DecodedGame g{s.tiles, storedVariables(s), readSliderValues(sliders.view()), 0, false};
    StoredVariables& v = g.variables;
    std::int16_t* const narrow[] = {&v.cursorX,   &v.cursorY,     &v.scanX,       &v.scanY,
                                    &v.lastX,     &v.lastY,       &v.nextX,       &v.nextY,
                                    &v.ballX,     &v.ballY,       &v.minInterval, &v.ballInterval,
                                    &v.accelStep, &v.scatterCount};
    std::int32_t* const wide[] = {&v.bankedScore,    &v.score,        &g.sliders.SSpeed,
                                  &g.sliders.SAccel, &g.sliders.SLvl, &g.fileKey};
    for (auto n = in.take(1); n > 0; --n) {
        const auto field = static_cast<std::uint16_t>(in.take(2));
        const std::int32_t value = in.i32();
        if (field < 0x8000) {
            g.tiles.cells()[field % kCells] = static_cast<std::int16_t>(value);
            continue;
        }
        const std::size_t k = (field & 0x7FFFu) % (std::size(narrow) + std::size(wide));
        if (k < std::size(narrow)) {
            *narrow[k] = static_cast<std::int16_t>(value);
        } else {
            *wide[k - std::size(narrow)] = value;
        }
    }
    return encode(g);
}

TEST(SaveGameCorpus, TheSeedsThatDecodeLoadAndTheHostileOnesAreRefused) {
    int games = 0;
    int refused = 0;
    for (const fs::path& path : corpusFiles()) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(path.parent_path().filename().string() + "/" + name);
        const std::string bytes = kestro::test::readFile(path);
        const bool hostile =
            startsWith(name, "seed-refused-") || startsWith(name, "seed-overflow-");

        std::vector<DecodeResult> results;
        for (auto at = bytes.find(kTag); at != std::string::npos; at = bytes.find(kTag, at + 1)) {
            const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data()) + at;
            if (decode({data, bytes.size() - at}).ok()) {
                results.push_back(decodePlayable({data, bytes.size() - at}));
            }
        }
        if (path.parent_path().filename() == "fuzz_game_clock" && !bytes.empty() &&
            (bytes[0] & 1) == 0) {
            const SaveBytes file = generatedStart(bytes);
            if (decode(file).ok()) {
                results.push_back(decodePlayable(file));
            }
        }
        for (const auto& r : results) {
            ++games;
            if (hostile) {
                ASSERT_FALSE(r.ok());
                EXPECT_EQ(r.error().kind, RefusalKind::NotPlayable) << r.error().reason;
                ++refused;
            } else {
                EXPECT_TRUE(r.ok()) << r.error().reason;
            }
        }
        if (hostile) {
            EXPECT_FALSE(results.empty()) << "a hostile seed holds no game the format accepts";
        }
    }
    EXPECT_GT(games, refused);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace kestro::savegame
