// The player with outputs that record, refuse or fail: events become samples on its own
// thread, and an output that cannot be had leaves the game silent without waiting.

#include "sound/player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/synth.h"

namespace kestro::sound {
namespace {

// What the outputs were given, shared with the test.
struct Written {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::int16_t> samples;
    int opened = 0;
    bool fail = false;  // the output stops taking samples

    // Waits (a generous bound, only so a broken player cannot hang the test) until pred holds.
    template <class Pred>
    bool waitFor(Pred pred) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), [&] { return pred(); });
    }
};

class RecordingOutput final : public SoundOutput {
  public:
    explicit RecordingOutput(Written& w) : w_(w) {}
    bool write(std::span<const std::int16_t> s) override {
        const std::lock_guard lock(w_.mutex);
        if (w_.fail) {
            return false;
        }
        w_.samples.insert(w_.samples.end(), s.begin(), s.end());
        w_.changed.notify_all();
        return true;
    }

  private:
    Written& w_;
};

OpenOutput recording(Written& w) {
    return [&w]() -> std::unique_ptr<SoundOutput> {
        const std::lock_guard lock(w.mutex);
        ++w.opened;
        w.changed.notify_all();
        return std::make_unique<RecordingOutput>(w);
    };
}

bool sounding(const std::vector<std::int16_t>& s) {
    for (const std::int16_t x : s) {
        if (x != 0) {
            return true;
        }
    }
    return false;
}

TEST(SoundPlayer, TheOutputIsOpenedOnceAndPrimedWithSilence) {
    Written w;
    {
        SoundPlayer p(recording(w));
        ASSERT_TRUE(w.waitFor([&] { return !w.samples.empty(); }));
    }
    EXPECT_EQ(w.opened, 1);
    EXPECT_FALSE(sounding(w.samples));
}

TEST(SoundPlayer, AnEventBecomesItsSoundOnTheOutput) {
    Written w;
    SoundPlayer p(recording(w));
    p.happened(GameEvent::PointerBounce, 10);
    const std::size_t length = makeSoundBank()[1].samples.size();
    ASSERT_TRUE(w.waitFor([&] { return w.samples.size() >= length; }));
    std::lock_guard lock(w.mutex);
    EXPECT_EQ(w.opened, 1);
    EXPECT_TRUE(sounding(w.samples));
}

// Whole blocks of a clip.
std::size_t blocksOf(const Clip& c) {
    return (c.samples.size() + SoundPlayer::kBlock - 1) / SoundPlayer::kBlock * SoundPlayer::kBlock;
}

TEST(SoundPlayer, NothingIsWrittenWhileNothingPlays) {
    // The recording output never blocks, so a player that wrote silence between sounds would
    // write without end; one that writes only while a sound plays writes the priming and each
    // sound's blocks, and nothing else.
    const SoundBank bank = makeSoundBank();
    const Clip& first = bank[static_cast<std::size_t>(GameEvent::PointerBounce)];
    const Clip& second = bank[static_cast<std::size_t>(GameEvent::GoalCollected)];
    const std::size_t primed = SoundPlayer::kPrimingBlocks * SoundPlayer::kBlock;
    Written w;
    {
        SoundPlayer p(recording(w));
        p.happened(GameEvent::PointerBounce, 10);
        ASSERT_TRUE(w.waitFor([&] { return w.samples.size() >= primed + blocksOf(first); }));
        p.happened(GameEvent::GoalCollected, 500);
        ASSERT_TRUE(w.waitFor(
            [&] { return w.samples.size() >= primed + blocksOf(first) + blocksOf(second); }));
    }
    ASSERT_EQ(w.samples.size(), primed + blocksOf(first) + blocksOf(second));
    // The first sound's last block is padded with silence; the second starts a block of its
    // own, from its first sample.
    const auto begin = w.samples.begin();
    const auto at = static_cast<std::ptrdiff_t>(primed + blocksOf(first));
    EXPECT_FALSE(
        sounding({begin + static_cast<std::ptrdiff_t>(primed + first.samples.size()), begin + at}));
    EXPECT_TRUE(sounding({begin + at, begin + at + 480}));
}

TEST(SoundPlayer, WithoutAnOutputTheGameGoesOnSilently) {
    struct Case {
        const char* what;
        bool opens;
    };
    for (const Case c : {Case{"no server", false}, Case{"the server goes away", true}}) {
        Written w;
        w.fail = c.opens;
        int attempts = 0;
        SoundPlayer p([&]() -> std::unique_ptr<SoundOutput> {
            const std::lock_guard lock(w.mutex);
            ++attempts;
            w.changed.notify_all();
            return c.opens ? std::make_unique<RecordingOutput>(w) : nullptr;
        });
        for (Millis t = 0; t < 10000; t += 7) {
            p.happened(GameEvent::WallBounce, t);  // never waits on the missing output
        }
        ASSERT_TRUE(w.waitFor([&] { return attempts > 0; })) << c.what;
        std::lock_guard lock(w.mutex);
        EXPECT_EQ(attempts, 1) << c.what;
        EXPECT_TRUE(w.samples.empty()) << c.what;
    }
}

}  // namespace
}  // namespace kestro::sound
