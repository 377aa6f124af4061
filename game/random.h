#pragma once
// The random generator: one draw per use, a 32-bit float in [0, 1).

#include <cstddef>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

namespace kestro {

// The draw made from one 32-bit engine output: its top 24 bits scaled by 2^-24. Every value is
// exact in a float, and the largest, 1 - 2^-24, stays below 1.
constexpr float unitFromOutput(std::uint32_t output) {
    return static_cast<float>(output >> 8) * 0x1p-24f;
}

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual float draw() = 0;
};

// The game's own generator: a seedable Mersenne Twister. A draw takes the top 24 bits of one
// 32-bit output, so every value is a multiple of 2^-24 below 1 and 1.0 never comes out.
class SeededRandom final : public RandomSource {
  public:
    explicit SeededRandom(std::uint64_t seed);
    float draw() override;
    // Starts the sequence of another seed.
    void reseed(std::uint64_t seed);

  private:
    std::mt19937 engine_;
};

// A random source given its draws in advance had none left when the game asked for one.
class NoDrawLeft : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Draws given in advance, in order; running out throws NoDrawLeft.
class ScriptedRandom final : public RandomSource {
  public:
    explicit ScriptedRandom(std::vector<float> draws);
    float draw() override;
    std::size_t used() const { return next_; }

  private:
    std::vector<float> draws_;
    std::size_t next_ = 0;
};

}  // namespace kestro
