#pragma once
// Where the mixed samples go: an audio device or sound server, reached through one library in
// one file. Used from the player's own thread only, so a call may block.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace kestro::sound {

// The samples of one write, in ms: an event's samples leave the program at most this long after
// it, and the output wakes the player once per block while a sound plays.
inline constexpr double kBlockMs = 20;

class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    // Plays the samples (mono, kSampleRate) after those written before; blocks while the
    // device's buffer is full. False when the device is gone: nothing more is written.
    virtual bool write(std::span<const std::int16_t> samples) = 0;
};

// Opens the device; null when there is none (no server, no device, refused).
using OpenOutput = std::function<std::unique_ptr<SoundOutput>()>;

}  // namespace kestro::sound
