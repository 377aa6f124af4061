#pragma once
// Plays the game's events: coalesced on game time, then mixed and written to the output on a
// thread of its own, so that the game never waits for the sound. The thread starts with the
// player, makes the sounds and opens the output; when it cannot be opened the game is silent.
// No player, no thread and no device: sounds off.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "game/events.h"
#include "sound/clip.h"
#include "sound/coalescer.h"
#include "sound/sound_output.h"

namespace kestro::sound {

class SoundPlayer final : public GameEvents {
  public:
    // The samples of one write.
    static constexpr std::size_t kBlock = samplesFor(kBlockMs);
    // The silence written first, as soon as the output is open: more than the server's buffer.
    static constexpr int kPrimingBlocks = 3;

    explicit SoundPlayer(OpenOutput open);
    ~SoundPlayer() override;
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Never blocks on the output.
    void happened(GameEvent event, Millis at) override;

    // Called on the player's thread when the samples of an event are handed to the output,
    // before the write; for tests and measurements.
    std::function<void(GameEvent)> onWrite;

  private:
    void run();

    OpenOutput open_;
    Coalescer coalescer_;  // the game's thread only
    std::mutex mutex_;
    std::condition_variable wake_;
    std::array<bool, kGameEventCount> pending_{};  // by GameEvent: to start with the next block
    bool anyPending_ = false;
    bool stopping_ = false;
    bool dead_ = false;  // the output could not be opened or failed: events are dropped
    std::thread thread_;
};

}  // namespace kestro::sound
