#include "shell/frame_pacer.h"

#include <cmath>

#include <QEventLoop>
#include <QTimer>

namespace kestro::shell {

double paceRate(double reportedHz) {
    // Anything outside a plausible range of displays is treated as unknown.
    if (!std::isfinite(reportedHz) || reportedHz < 1.0 || reportedHz > 1000.0) {
        return kDefaultRefreshHz;
    }
    return reportedHz;
}

PaceStep paceStep(PaceClock::time_point now, PaceClock::time_point dueTick,
                  PaceClock::duration period) {
    if (now >= dueTick) {
        return PaceStep{PaceClock::duration::zero(), now + period};
    }
    return PaceStep{dueTick - now, dueTick + period};
}

void FramePacer::waitForNextTick(double hz) {
    const auto period = std::chrono::duration_cast<PaceClock::duration>(
        std::chrono::duration<double>(1.0 / paceRate(hz)));
    const auto now = PaceClock::now();
    if (!started_) {
        started_ = true;
        dueTick_ = now + period;
        return;
    }
    const PaceStep step = paceStep(now, dueTick_, period);
    dueTick_ = step.nextTick;
    if (step.wait <= PaceClock::duration::zero()) {
        return;
    }
    // Round up to whole milliseconds: waking a little late keeps the schedule, waking early
    // would not reach the tick.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(step.wait);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

}  // namespace kestro::shell
