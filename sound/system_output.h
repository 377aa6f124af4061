#pragma once
// The system's sound server as a SoundOutput.

#include <memory>

#include "sound/sound_output.h"

namespace kestro::sound {

// Connects to the sound server (PulseAudio, or PipeWire serving its protocol); null when there
// is none. Blocks while it connects: call it from the player's thread.
std::unique_ptr<SoundOutput> openSystemOutput();

}  // namespace kestro::sound
