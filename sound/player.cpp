#include "sound/player.h"

#include <array>
#include <memory>

#include "sound/mixer.h"
#include "sound/synth.h"

namespace kestro::sound {

SoundPlayer::SoundPlayer(OpenOutput open) : open_(std::move(open)) {
    thread_ = std::thread([this] { run(); });
}

SoundPlayer::~SoundPlayer() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SoundPlayer::happened(GameEvent event, Millis at) {
    if (!coalescer_.admit(event, at)) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        if (dead_) {
            return;
        }
        // While the thread is behind, a second event of a kind not yet played adds nothing.
        pending_[static_cast<std::size_t>(event)] = true;
        anyPending_ = true;
    }
    wake_.notify_one();
}

void SoundPlayer::run() {
    const SoundBank bank = makeSoundBank();
    std::unique_ptr<SoundOutput> output = open_ ? open_() : nullptr;
    Mixer mixer;
    std::array<std::int16_t, kBlock> block{};
    // A server starts a new stream only once its buffer has filled: fill it with silence now,
    // so the first sound is not the one that waits for it.
    for (int i = 0; output && i < kPrimingBlocks; ++i) {
        if (!output->write(block)) {
            output.reset();
        }
    }
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (!output) {
                dead_ = true;
                return;
            }
            // Nothing is written while nothing plays: the stream runs dry, which costs nothing
            // and is not heard, and the thread sleeps until the next event.
            wake_.wait(lock, [&] { return stopping_ || anyPending_ || !mixer.idle(); });
            if (stopping_) {
                return;
            }
            for (std::size_t i = 0; anyPending_ && i < kGameEventCount; ++i) {
                if (pending_[i]) {
                    pending_[i] = false;
                    mixer.start(bank[i]);
                    if (onWrite) {
                        onWrite(static_cast<GameEvent>(i));
                    }
                }
            }
            anyPending_ = false;
        }
        mixer.mix(block);
        if (!output->write(block)) {
            output.reset();
        }
    }
}

}  // namespace kestro::sound
