#pragma once
// The game's four timers on a time that is given to them, in whole milliseconds. The window
// feeds real time, the simulator and the tests virtual time; the same times give the same game.
//
// - Enabling the timers at time t starts each count afresh: due = t + period. Disabling them
//   drops the due times and keeps the periods.
// - Advancing to time T fires, one at a time, the enabled timer with the smallest due time at
//   or before T; ties go Ball, accel, LevelUp, Score. Firing at d sets now = last = d and
//   due = d + period before the handler runs.
// - Assigning a running timer a new period does not restart its count: due = max(now, last + p),
//   so a tick that is already late comes at once. Assigning the same period changes nothing.
// - A period below 1 ms is taken as 1 ms.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kestro {

enum class TimerId : std::uint8_t { Ball, accel, LevelUp, Score };
inline constexpr std::size_t kTimerCount = 4;

using Millis = std::int64_t;

// The periods the timers have before anything assigns them.
inline constexpr std::int32_t kBallStartPeriod = 500;
inline constexpr std::int32_t kAccelPeriod = 200;
inline constexpr std::int32_t kLevelUpPeriod = 150;
inline constexpr std::int32_t kScoreStartPeriod = 500;

class TimerSet {
  public:
    TimerSet();

    std::int32_t period(TimerId id) const { return timer(id).period; }
    void setPeriod(TimerId id, std::int32_t period);

    bool enabled() const { return enabled_; }
    void enable(Millis t);
    void disable();

    // The timer that fires next if time reaches `until`, with its due time; nothing when no
    // enabled timer is due by then.
    struct Due {
        TimerId id;
        Millis at;
    };
    std::optional<Due> nextDue(Millis until) const;
    // The earliest due time of all, or nothing while disabled.
    std::optional<Millis> nextDueTime() const;

    // Fires the timer: now = last = at, due = at + period. The caller runs its handler.
    void fire(TimerId id, Millis at);

    // Time that counts as paused: every due and last time and now move on by d (d >= 0).
    void postpone(Millis d);

    // The time of the latest firing, enabling, advance or postponement.
    Millis now() const { return now_; }
    void setNow(Millis t);

    // The due time of a timer while enabled (for tests and tools).
    std::optional<Millis> due(TimerId id) const;

  private:
    struct Timer {
        std::int32_t period = 1;
        Millis last = 0;
        Millis due = 0;
    };
    Timer& timer(TimerId id) { return timers_[static_cast<std::size_t>(id)]; }
    const Timer& timer(TimerId id) const { return timers_[static_cast<std::size_t>(id)]; }

    std::array<Timer, kTimerCount> timers_{};
    bool enabled_ = false;
    Millis now_ = 0;
};

}  // namespace kestro
