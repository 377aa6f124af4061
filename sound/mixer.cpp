#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace kestro::sound {

void Mixer::start(const Clip& clip) {
    if (clip.samples.empty()) {
        return;
    }
    if (voices_.size() == kMaxVoices) {
        voices_.erase(voices_.begin());
    }
    voices_.push_back(Voice{&clip, 0});
}

void Mixer::mix(std::span<std::int16_t> out) {
    sum_.assign(out.size(), 0.0f);
    for (Voice& v : voices_) {
        const std::size_t n = std::min(out.size(), v.clip->samples.size() - v.at);
        for (std::size_t i = 0; i < n; ++i) {
            sum_[i] += v.clip->samples[v.at + i];
        }
        v.at += n;
    }
    std::erase_if(voices_, [](const Voice& v) { return v.at >= v.clip->samples.size(); });
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float s = std::clamp(sum_[i], -1.0f, 1.0f);
        out[i] = static_cast<std::int16_t>(std::lround(s * 32767.0f));
    }
}

}  // namespace kestro::sound
