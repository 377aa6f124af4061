// The one file that knows the sound library: libpulse's simple API.

#include <pulse/error.h>
#include <pulse/simple.h>

#include <cstdint>
#include <memory>
#include <span>

#include "sound/clip.h"
#include "sound/system_output.h"

namespace kestro::sound {

namespace {

constexpr std::uint32_t bytesFor(double ms) {
    return static_cast<std::uint32_t>(samplesFor(ms) * sizeof(std::int16_t));
}

class PulseOutput final : public SoundOutput {
  public:
    explicit PulseOutput(pa_simple* stream) : stream_(stream) {}
    ~PulseOutput() override { pa_simple_free(stream_); }
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    bool write(std::span<const std::int16_t> samples) override {
        int error = 0;
        return pa_simple_write(stream_, samples.data(), samples.size_bytes(), &error) == 0;
    }

  private:
    pa_simple* stream_;
};

}  // namespace

std::unique_ptr<SoundOutput> openSystemOutput() {
    const pa_sample_spec samples{PA_SAMPLE_S16LE, static_cast<std::uint32_t>(kSampleRate), 1};
    // A short buffer keeps an event's sound close to its tick: two blocks ahead at most, one
    // request a block, and playing starts again after a silence as soon as one block is there.
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = bytesFor(2 * kBlockMs);
    buffer.prebuf = bytesFor(kBlockMs);
    buffer.minreq = bytesFor(kBlockMs);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "Kestro", PA_STREAM_PLAYBACK, nullptr, "game sounds",
                                      &samples, nullptr, &buffer, &error);
    if (stream == nullptr) {
        return nullptr;
    }
    return std::make_unique<PulseOutput>(stream);
}

}  // namespace kestro::sound
