#pragma once
// A sound as the program plays it: mono samples in [-1, 1] at one fixed rate.

#include <cstddef>
#include <vector>

namespace kestro::sound {

inline constexpr int kSampleRate = 48000;

struct Clip {
    std::vector<float> samples;
};

inline constexpr std::size_t samplesFor(double ms) {
    return static_cast<std::size_t>(ms * kSampleRate / 1000.0);
}

inline double clipMs(const Clip& c) {
    return static_cast<double>(c.samples.size()) * 1000.0 / kSampleRate;
}

}  // namespace kestro::sound
