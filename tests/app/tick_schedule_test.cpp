#include "app/tick_schedule.h"

#include <gtest/gtest.h>

namespace lullcast {
namespace {

using namespace std::chrono_literals;

TEST(TickScheduleTest, TicksFallDueWholeSecondsAfterSwitchingOnWhateverTheTimersLateness) {
    TickSchedule schedule;
    EXPECT_EQ(schedule.NextDue(), std::nullopt);
    schedule.SwitchOn(500ms);
    for (int tick = 1; tick <= 600; ++tick) {
        const MonoTime due = 500ms + std::chrono::seconds(tick);
        ASSERT_EQ(schedule.NextDue(), due);
        ASSERT_FALSE(schedule.BeginTick(due - 1ns));
        ASSERT_TRUE(schedule.BeginTick(due + 30ms));  // a timer always 30 ms late
        schedule.EndTick();
    }
}

TEST(TickScheduleTest, ATickNeverStartsInsideTheRunningOneAndMissedTicksAllRun) {
    TickSchedule schedule;
    schedule.SwitchOn(0ms);
    ASSERT_TRUE(schedule.BeginTick(1s));
    EXPECT_FALSE(schedule.BeginTick(2500ms));  // the second falls due inside the first
    schedule.EndTick();
    int ticks = 0;
    while (schedule.BeginTick(5200ms)) {
        ++ticks;
        schedule.EndTick();
    }
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(schedule.NextDue(), 6s);
}

TEST(TickScheduleTest, SwitchingOffAndOnInsideATickRestartsTheCount) {
    TickSchedule schedule;
    schedule.SwitchOn(0ms);
    ASSERT_TRUE(schedule.BeginTick(1s));
    schedule.SwitchOff();
    EXPECT_EQ(schedule.NextDue(), std::nullopt);
    schedule.SwitchOn(1300ms);
    EXPECT_FALSE(schedule.BeginTick(5s));  // the outer tick is still running
    schedule.EndTick();
    EXPECT_FALSE(schedule.BeginTick(2299ms));
    EXPECT_TRUE(schedule.BeginTick(2300ms));
}

}  // namespace
}  // namespace lullcast
