#pragma once
// Paces frames to the screen's refresh: after a frame has been shown, wait for the next refresh
// tick while the window's events go on being handled, so that the game does not spin a core.

#include <chrono>

namespace kestro::shell {

using PaceClock = std::chrono::steady_clock;

// The rate used when the screen does not report a usable one.
inline constexpr double kDefaultRefreshHz = 60.0;

// The refresh rate to pace to: the reported one when it is a sensible rate, else 60 Hz.
double paceRate(double reportedHz);

// One pacing decision: how long to wait now and when the following tick is due. A frame that
// is on time waits for its tick and the schedule advances by one period, so small delays do not
// add up; a frame that has missed its tick does not wait, and the schedule starts again from
// now.
struct PaceStep {
    PaceClock::duration wait{};
    PaceClock::time_point nextTick{};
};
PaceStep paceStep(PaceClock::time_point now, PaceClock::time_point dueTick,
                  PaceClock::duration period);

class FramePacer {
  public:
    // Waits until the next refresh tick at hz ticks per second, handling window events while
    // it waits. The first call does not wait; it starts the schedule.
    void waitForNextTick(double hz);

  private:
    PaceClock::time_point dueTick_{};
    bool started_ = false;
};

}  // namespace kestro::shell
