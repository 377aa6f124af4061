#pragma once
// Plays several sounds at once: each started sound is a voice, summed into the output blocks
// and limited to the 16-bit range; a voice ends with its clip.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sound/clip.h"

namespace kestro::sound {

class Mixer {
  public:
    // The most voices that sound at once; a further one takes the place of the oldest.
    static constexpr std::size_t kMaxVoices = 12;

    Mixer() { voices_.reserve(kMaxVoices); }

    // The clip must outlive its voice.
    void start(const Clip& clip);
    // Fills out with the next samples of every voice (silence when none plays).
    void mix(std::span<std::int16_t> out);
    bool idle() const { return voices_.empty(); }

  private:
    struct Voice {
        const Clip* clip;
        std::size_t at;
    };
    std::vector<Voice> voices_;
    std::vector<float> sum_;
};

}  // namespace kestro::sound
