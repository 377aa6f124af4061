// The game's timers on given time: start periods, enabling, firing order, period changes that
// do not restart a count, the 1 ms floor and postponing.

#include "game/timer_set.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestro {
namespace {

// Fires every timer due up to `until` and names them in order with their times.
std::vector<std::string> runUntil(TimerSet& t, Millis until) {
    static const char* const names[] = {"Ball", "accel", "LevelUp", "Score"};
    std::vector<std::string> fired;
    while (const auto due = t.nextDue(until)) {
        t.fire(due->id, due->at);
        fired.push_back(std::string(names[static_cast<int>(due->id)]) + "@" +
                        std::to_string(due->at));
    }
    return fired;
}

TEST(TimerSet, StartsDisabledWithTheDesignPeriods) {
    const TimerSet t;
    EXPECT_FALSE(t.enabled());
    EXPECT_EQ(t.period(TimerId::Ball), 500);
    EXPECT_EQ(t.period(TimerId::accel), 200);
    EXPECT_EQ(t.period(TimerId::LevelUp), 150);
    EXPECT_EQ(t.period(TimerId::Score), 500);
    EXPECT_FALSE(t.nextDueTime());
    EXPECT_FALSE(t.nextDue(1'000'000));
}

TEST(TimerSet, EnablingStartsEachCountAfreshAndDisablingKeepsThePeriods) {
    TimerSet t;
    t.enable(1000);
    EXPECT_EQ(t.due(TimerId::Ball), 1500);
    EXPECT_EQ(t.due(TimerId::accel), 1200);
    EXPECT_EQ(t.due(TimerId::LevelUp), 1150);
    EXPECT_EQ(t.due(TimerId::Score), 1500);
    runUntil(t, 1300);
    t.setPeriod(TimerId::Ball, 320);
    t.disable();
    EXPECT_FALSE(t.nextDue(100'000));
    EXPECT_EQ(t.period(TimerId::Ball), 320);

    // Half a count was done before the pause; after it the count starts again in full.
    t.enable(5000);
    EXPECT_EQ(t.due(TimerId::Ball), 5320);
    EXPECT_EQ(t.due(TimerId::LevelUp), 5150);
    // Enabling timers that run already restarts nothing.
    t.enable(5100);
    EXPECT_EQ(t.due(TimerId::Ball), 5320);
}

TEST(TimerSet, FiresInTimeOrderWithTiesGoingBallAccelLevelUpScore) {
    TimerSet t;
    for (TimerId id : {TimerId::Score, TimerId::LevelUp, TimerId::accel, TimerId::Ball}) {
        t.setPeriod(id, 100);
    }
    t.setPeriod(TimerId::Score, 50);
    t.enable(0);
    EXPECT_EQ(runUntil(t, 100), (std::vector<std::string>{"Score@50", "Ball@100", "accel@100",
                                                          "LevelUp@100", "Score@100"}));
    // A timer due exactly at the target fires; one a millisecond later waits.
    EXPECT_EQ(runUntil(t, 149), std::vector<std::string>{});
    EXPECT_EQ(runUntil(t, 150), std::vector<std::string>{"Score@150"});
    EXPECT_EQ(t.now(), 150);
}

TEST(TimerSet, AssigningAPeriodDoesNotRestartTheCount) {
    struct Case {
        const char* what;
        std::int32_t newPeriod;
        Millis now;  // time of the assignment; the Ball count started at 0
        Millis expectedDue;
    };
    const Case cases[] = {
        {"same period changes nothing", 500, 300, 500},
        {"shorter, still ahead", 400, 300, 400},
        {"shorter, already late: at once", 200, 300, 300},
        {"longer", 700, 300, 700},
        {"zero is taken as 1 ms", 0, 0, 1},
        {"negative is taken as 1 ms", -40, 300, 300},
    };
    for (const Case& c : cases) {
        TimerSet t;
        t.enable(0);
        t.setNow(c.now);
        t.setPeriod(TimerId::Ball, c.newPeriod);
        EXPECT_EQ(t.due(TimerId::Ball), c.expectedDue) << c.what;
        EXPECT_GE(t.period(TimerId::Ball), 1) << c.what;
    }

    // A period assigned while the timers stand still is used from the next start.
    TimerSet t;
    t.setPeriod(TimerId::Score, -3);
    EXPECT_EQ(t.period(TimerId::Score), 1);
    t.enable(10);
    EXPECT_EQ(t.due(TimerId::Score), 11);
}

TEST(TimerSet, PostponingMovesEveryDueTime) {
    TimerSet t;
    t.enable(0);
    t.postpone(2500);
    EXPECT_EQ(t.due(TimerId::Ball), 3000);
    EXPECT_EQ(t.due(TimerId::LevelUp), 2650);
    EXPECT_EQ(t.now(), 2500);
    // The count of a changed period runs from the postponed start.
    t.setPeriod(TimerId::Ball, 100);
    EXPECT_EQ(t.due(TimerId::Ball), 2600);
}

}  // namespace
}  // namespace kestro
