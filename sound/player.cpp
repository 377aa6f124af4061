#include "sound/player.h"

#include <array>
#include <memory>

#include "sound/mixer.h"
#include "sound/synth.h"

namespace kestro::sound {

namespace {

// The samples of one write: 5 ms, so a new event waits at most that long for its block.
constexpr std::size_t kBlock = samplesFor(5);
// The queue's bound: events beyond it, while the thread is behind, are dropped.
constexpr std::size_t kMostQueued = 64;
// The silence written first: more than the server's buffer.
constexpr int kPrimingBlocks = 6;

}  // namespace

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
        if (dead_ || queue_.size() >= kMostQueued) {
            return;
        }
        queue_.push_back(event);
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
                queue_.clear();
                return;
            }
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty() || !mixer.idle(); });
            if (stopping_) {
                return;
            }
            while (!queue_.empty()) {
                const GameEvent e = queue_.front();
                queue_.pop_front();
                mixer.start(bank[static_cast<std::size_t>(e)]);
                if (onWrite) {
                    onWrite(e);
                }
            }
        }
        mixer.mix(block);
        if (!output->write(block)) {
            output.reset();
        }
    }
}

}  // namespace kestro::sound
