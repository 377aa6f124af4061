#include "game/timer_set.h"

#include <algorithm>

namespace kestro {

TimerSet::TimerSet() {
    timer(TimerId::Ball).period = kBallStartPeriod;
    timer(TimerId::accel).period = kAccelPeriod;
    timer(TimerId::LevelUp).period = kLevelUpPeriod;
    timer(TimerId::Score).period = kScoreStartPeriod;
}

void TimerSet::setPeriod(TimerId id, std::int32_t period) {
    const std::int32_t p = std::max(period, std::int32_t{1});
    Timer& t = timer(id);
    if (p == t.period) {
        return;
    }
    t.period = p;
    if (enabled_) {
        t.due = std::max(now_, t.last + p);
    }
}

void TimerSet::enable(Millis t) {
    if (enabled_) {
        return;  // enabling a running timer does not restart it
    }
    enabled_ = true;
    now_ = std::max(now_, t);
    for (Timer& timer : timers_) {
        timer.last = now_;
        timer.due = now_ + timer.period;
    }
}

void TimerSet::disable() {
    enabled_ = false;
}

std::optional<TimerSet::Due> TimerSet::nextDue(Millis until) const {
    if (!enabled_) {
        return std::nullopt;
    }
    std::optional<Due> best;
    // Scanning in the order Ball, accel, LevelUp, Score and taking only strictly earlier times
    // settles ties in that order.
    for (std::size_t i = 0; i < kTimerCount; ++i) {
        const Millis at = timers_[i].due;
        if (at <= until && (!best || at < best->at)) {
            best = Due{static_cast<TimerId>(i), at};
        }
    }
    return best;
}

std::optional<Millis> TimerSet::nextDueTime() const {
    if (!enabled_) {
        return std::nullopt;
    }
    Millis earliest = timers_[0].due;
    for (const Timer& t : timers_) {
        earliest = std::min(earliest, t.due);
    }
    return earliest;
}

void TimerSet::fire(TimerId id, Millis at) {
    Timer& t = timer(id);
    now_ = std::max(now_, at);
    t.last = at;
    t.due = at + t.period;
}

void TimerSet::postpone(Millis d) {
    if (d <= 0) {
        return;
    }
    now_ += d;
    for (Timer& t : timers_) {
        t.last += d;
        t.due += d;
    }
}

void TimerSet::setNow(Millis t) {
    now_ = std::max(now_, t);
}

std::optional<Millis> TimerSet::due(TimerId id) const {
    if (!enabled_) {
        return std::nullopt;
    }
    return timer(id).due;
}

}  // namespace kestro
