#include "game/random.h"

#include <string>
#include <utility>

namespace kestro {

namespace {

// Both halves of the 64-bit seed enter the engine's state, so seeds that differ only in their
// high bits still give different sequences.
std::mt19937 seededEngine(std::uint64_t seed) {
    std::seed_seq sequence{static_cast<std::uint32_t>(seed & 0xFFFFFFFFu),
                           static_cast<std::uint32_t>(seed >> 32)};
    return std::mt19937(sequence);
}

}  // namespace

SeededRandom::SeededRandom(std::uint64_t seed) : engine_(seededEngine(seed)) {}

void SeededRandom::reseed(std::uint64_t seed) {
    engine_ = seededEngine(seed);
}

float SeededRandom::draw() {
    return unitFromOutput(static_cast<std::uint32_t>(engine_()));
}

ScriptedRandom::ScriptedRandom(std::vector<float> draws) : draws_(std::move(draws)) {}

float ScriptedRandom::draw() {
    if (next_ >= draws_.size()) {
        throw NoDrawLeft("ScriptedRandom: no draw left after " + std::to_string(draws_.size()));
    }
    return draws_[next_++];
}

}  // namespace kestro
