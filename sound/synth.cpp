#include "sound/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestro::sound {

namespace {

enum class Wave { Sine, Triangle };

// One tone: a wave gliding from `from` to `to` Hz, rising over attackMs, then falling away
// exponentially with the time constant decayMs, and tapered to silence over its last 6 ms so
// that nothing starts or stops with a click.
struct Tone {
    double startMs;
    double lengthMs;
    double from;
    double to;
    double gain;
    Wave wave = Wave::Sine;
    double attackMs = 4.0;
    double decayMs = 40.0;
};

double waveAt(Wave w, double phase) {
    if (w == Wave::Sine) {
        return std::sin(2.0 * std::numbers::pi * phase);
    }
    const double f = phase - std::floor(phase);
    return f < 0.5 ? 4.0 * f - 1.0 : 3.0 - 4.0 * f;
}

void add(Clip& clip, const Tone& t) {
    const std::size_t first = samplesFor(t.startMs);
    const std::size_t count = samplesFor(t.lengthMs);
    clip.samples.resize(std::max(clip.samples.size(), first + count), 0.0f);
    constexpr double kTaperMs = 6.0;
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double ms = static_cast<double>(i) * 1000.0 / kSampleRate;
        const double along = ms / t.lengthMs;
        const double hz = t.from * std::pow(t.to / t.from, along);
        const double attack =
            ms < t.attackMs ? 0.5 - 0.5 * std::cos(std::numbers::pi * ms / t.attackMs) : 1.0;
        const double left = t.lengthMs - ms;
        const double taper =
            left < kTaperMs ? 0.5 - 0.5 * std::cos(std::numbers::pi * left / kTaperMs) : 1.0;
        const double decay = std::exp(-ms / t.decayMs);
        clip.samples[first + i] +=
            static_cast<float>(t.gain * attack * decay * taper * waveAt(t.wave, phase));
        phase += hz / kSampleRate;
    }
}

Clip tones(std::initializer_list<Tone> list) {
    Clip c;
    for (const Tone& t : list) {
        add(c, t);
    }
    return c;
}

}  // namespace

Clip synthesize(GameEvent event) {
    switch (event) {
        case GameEvent::WallBounce:  // a plain, dry tock
            return tones({{0, 60, 620, 560, 1.0, Wave::Sine, 3, 18},
                          {0, 40, 1240, 1120, 0.25, Wave::Sine, 3, 10}});
        case GameEvent::PointerBounce:  // the player's own wall: a bright, ringing bell chord
            return tones({{0, 140, 880, 880, 1.0, Wave::Sine, 3, 55},
                          {0, 140, 1320, 1320, 0.5, Wave::Sine, 3, 45},
                          {0, 110, 2640, 2640, 0.15, Wave::Sine, 2, 25},
                          {0, 60, 440, 440, 0.35, Wave::Sine, 3, 20}});
        case GameEvent::BlockPushed:  // a soft low thud sliding down
            return tones({{0, 90, 210, 160, 1.0, Wave::Triangle, 5, 30}});
        case GameEvent::BlockToWall:  // heavier and longer: the block settles for good
            return tones({{0, 140, 150, 120, 1.0, Wave::Triangle, 5, 50},
                          {0, 100, 300, 240, 0.4, Wave::Sine, 5, 30}});
        case GameEvent::BlockJump:  // an upward hop
            return tones({{0, 110, 392, 880, 1.0, Wave::Triangle, 5, 60}});
        case GameEvent::GoalCollected:  // two rising notes
            return tones({{0, 70, 784, 784, 1.0, Wave::Sine, 3, 40},
                          {60, 90, 1175, 1175, 1.0, Wave::Sine, 3, 45}});
        case GameEvent::MarkerErased:  // a tiny high tick
            return tones({{0, 35, 1568, 1568, 1.0, Wave::Sine, 2, 12}});
        case GameEvent::LevelComplete:  // a rising major arpeggio
            return tones({{0, 240, 523, 523, 1.0, Wave::Sine, 5, 120},
                          {150, 240, 659, 659, 1.0, Wave::Sine, 5, 120},
                          {300, 240, 784, 784, 1.0, Wave::Sine, 5, 120},
                          {450, 400, 1047, 1047, 1.0, Wave::Sine, 5, 200}});
        case GameEvent::LevelLost:  // a falling, sagging line
            return tones({{0, 260, 392, 380, 1.0, Wave::Triangle, 8, 150},
                          {220, 260, 370, 355, 1.0, Wave::Triangle, 8, 150},
                          {440, 420, 349, 300, 1.0, Wave::Triangle, 8, 220}});
    }
    return {};
}

double rms(const Clip& c) {
    if (c.samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (const float s : c.samples) {
        sum += static_cast<double>(s) * s;
    }
    return std::sqrt(sum / static_cast<double>(c.samples.size()));
}

SoundBank makeSoundBank() {
    SoundBank bank;
    for (std::size_t i = 0; i < kGameEventCount; ++i) {
        Clip c = synthesize(static_cast<GameEvent>(i));
        const double level = rms(c);
        const auto gain = static_cast<float>(level > 0.0 ? kTargetRms / level : 0.0);
        for (float& s : c.samples) {
            s *= gain;
        }
        bank[i] = std::move(c);
    }
    return bank;
}

}  // namespace kestro::sound
