#include "savegame/playable.h"

#include <cstdint>
#include <string>
#include <utility>

#include "game/state_bounds.h"

namespace kestro::savegame {
namespace {

Result<void, Refusal> refuse(const std::string& what) {
    return Result<void, Refusal>::failure(Refusal{RefusalKind::NotPlayable, what});
}

std::string cell(std::int32_t x, std::int32_t y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::int32_t distance(std::int32_t a, std::int32_t b) {
    return a > b ? a - b : b - a;
}

}  // namespace

Result<void, Refusal> checkPlayable(const StoredVariables& v) {
    // Not bounded beyond what decode checks: the tiles (an unknown code is drawn with the scene's
    // diagnostic and is no wall, block or goal to the ball), the next cell (recomputed at every
    // step), the pointer's cell (on the grid, or (0, 0) before the first wall, is all its clearing
    // needs) and scanX/scanY (the tile dump sets them before it reads them).
    struct Bound {
        const char* name;
        std::int64_t value;
        StateRange range;
        const char* why;
    };
    const Bound bounds[] = {
        {"minInterval", v.minInterval, kIntervalRange,
         "the acceleration stops at a period of 1 ms or more"},
        {"ballInterval", v.ballInterval, kIntervalRange, "the ball's period is 1 ms or more"},
        {"accelStep", v.accelStep, kAccelStepRange,
         "it is the acceleration slider's value, or 0 before the first level"},
        {"scatterCount", v.scatterCount, kScatterCountRange, "no level scatters more tiles"},
        {"bankedScore", v.bankedScore, kScoreRange,
         "beyond it counting down or banking could overflow"},
        {"score", v.score, kScoreRange, "beyond it counting down or banking could overflow"},
    };
    for (const auto& b : bounds) {
        if (!b.range.contains(b.value)) {
            return refuse(std::string(b.name) + " is " + std::to_string(b.value) + ", outside " +
                          std::to_string(b.range.min) + ".." + std::to_string(b.range.max) + ": " +
                          b.why + ".");
        }
    }
    // The ball moves diagonally: every step and every level start leaves its previous cell one
    // column and one row away. From any other cell its first step would jump.
    if (distance(v.ballX, v.lastX) != 1 || distance(v.ballY, v.lastY) != 1) {
        return refuse("the ball's previous cell " + cell(v.lastX, v.lastY) +
                      " is not one diagonal step from the ball's cell " + cell(v.ballX, v.ballY) +
                      ".");
    }
    return Result<void, Refusal>::success();
}

DecodeResult decodePlayable(std::span<const std::uint8_t> bytes) {
    DecodeResult decoded = decode(bytes);
    if (decoded) {
        if (const auto r = checkPlayable(decoded.value().variables); !r) {
            return DecodeResult::failure(r.error());
        }
    }
    return decoded;
}

}  // namespace kestro::savegame
