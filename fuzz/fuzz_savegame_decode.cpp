// Decoding arbitrary bytes as a saved game never crashes, and whatever it accepts encodes back to
// the same bytes (apart from the dimension fields, which are always written as 58 and 46). The
// loader's check accepts exactly the decoded games whose values the game can run from, and
// refuses the others with a reason of their own.
//
// Besides the input itself, each input is also laid over a valid saved game, starting at the
// offset its first two bytes name, so short inputs reach every field of a full-size file.
//   fuzz_savegame_decode -max_len=11200 [CORPUS_DIR]

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "game/game_state.h"
#include "game/state_bounds.h"
#include "savegame/codec.h"
#include "savegame/layout.h"
#include "savegame/playable.h"

namespace {

namespace sg = kestro::savegame;

void checkPlayable(std::span<const std::uint8_t> bytes, const sg::DecodeResult& decoded) {
    const sg::DecodeResult loaded = sg::decodePlayable(bytes);
    if (!decoded.ok()) {
        // The format's refusal comes first and stays as it is.
        if (loaded.ok() || loaded.error().kind != decoded.error().kind ||
            loaded.error().reason != decoded.error().reason) {
            std::abort();
        }
        return;
    }
    if (loaded.ok()) {
        const sg::StoredVariables& v = loaded.value().variables;
        if (!(loaded.value() == decoded.value()) ||
            !kestro::kIntervalRange.contains(v.ballInterval) ||
            !kestro::kAccelStepRange.contains(v.accelStep) ||
            !kestro::kScoreRange.contains(v.score)) {
            std::abort();
        }
        return;
    }
    if (loaded.error().kind != sg::RefusalKind::NotPlayable || loaded.error().reason.empty()) {
        std::abort();
    }
}

void check(std::span<const std::uint8_t> bytes) {
    const sg::DecodeResult r = sg::decode(bytes);
    checkPlayable(bytes, r);
    if (!r.ok()) {
        if (r.error().reason.empty()) {
            std::abort();
        }
        return;
    }
    // Bytes behind the first kFileSize are ignored; fewer than that is never a game.
    if (bytes.size() < sg::kFileSize) {
        std::abort();
    }
    const sg::SaveBytes again = sg::encode(r.value());
    for (std::size_t i = 0; i < sg::kFileSize; ++i) {
        const bool dimensions = i >= sg::kDimensionsOffset && i < sg::kKeyOffset;
        if (!dimensions && again[i] != bytes[i]) {
            std::abort();
        }
    }
    const sg::DecodeResult twice = sg::decode(again);
    if (!twice.ok() || twice.value().dimensionsTampered || twice.value().tiles != r.value().tiles ||
        !(twice.value().variables == r.value().variables) ||
        !(twice.value().sliders == r.value().sliders) ||
        twice.value().fileKey != r.value().fileKey) {
        std::abort();
    }
}

const sg::SaveBytes& validFile() {
    static const sg::SaveBytes bytes = [] {
        kestro::GameState s;
        for (int x = 0; x < kestro::kCols; ++x) {
            s.tiles.set(x, 0, kestro::tileWall);
            s.tiles.set(x, kestro::kRows - 1, kestro::tileWall);
        }
        s.tiles.set(35, 27, kestro::tileBall);
        s.lastX = 34;
        s.lastY = 28;
        s.ballX = 35;
        s.ballY = 27;
        s.minInterval = 201;
        s.ballInterval = 390;
        s.accelStep = 5;
        s.score = 60;
        return sg::encode(s, sg::SliderValues{300, 5, 1}, 43210);
    }();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    check(input);

    if (size >= 2) {
        sg::SaveBytes overlaid = validFile();
        std::size_t at = (static_cast<std::size_t>(data[0]) << 8 | data[1]) % sg::kFileSize;
        for (const std::uint8_t byte : input.subspan(2)) {
            overlaid[at] = byte;
            at = (at + 1) % sg::kFileSize;
        }
        check(overlaid);
    }
    return 0;
}
