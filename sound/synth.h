#pragma once
// The game's sounds, made from sines and triangles under smooth envelopes: short for what the
// ball meets, under a second for a level's end, each distinct, and all at the same loudness.

#include <array>

#include "game/events.h"
#include "sound/clip.h"

namespace kestro::sound {

// The loudness every sound is brought to: the RMS of its samples.
inline constexpr double kTargetRms = 0.12;

// One sound for each event, by GameEvent, brought to kTargetRms.
using SoundBank = std::array<Clip, kGameEventCount>;
SoundBank makeSoundBank();

// The sound of one event as drawn, before the loudness is evened out.
Clip synthesize(GameEvent event);

double rms(const Clip& c);

}  // namespace kestro::sound
