#include "app/tick_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace lullcast {
namespace {

using namespace std::chrono_literals;

TEST(TickScheduleTest, TicksFallDueWholeSecondsAfterSwitchingOnWhateverTheTimersLateness) {
    TickSchedule schedule;
    EXPECT_EQ(schedule.NextDue(), std::nullopt);
    schedule.SwitchOn(500ms);
    // A timer that always fires 30 ms late: the ticks stay on whole seconds.
    std::vector<MonoTime> dues;
    for (int tick = 0; tick < 600; ++tick) {
        const MonoTime due = *schedule.NextDue();
        dues.push_back(due);
        ASSERT_FALSE(schedule.BeginTick(due - 1ns));
        ASSERT_TRUE(schedule.BeginTick(due + 30ms));
        schedule.EndTick();
    }
    EXPECT_EQ(dues.front(), 1500ms);
    EXPECT_EQ(dues.back(), 600500ms);
}

TEST(TickScheduleTest, ATickNeverStartsInsideTheRunningOneButRunsRightAfterIt) {
    TickSchedule schedule;
    schedule.SwitchOn(0ms);
    ASSERT_TRUE(schedule.BeginTick(1s));
    // The tick's report takes 1.5 s; the second tick falls due inside it.
    EXPECT_FALSE(schedule.BeginTick(2s));
    EXPECT_FALSE(schedule.BeginTick(2500ms));
    schedule.EndTick();
    EXPECT_TRUE(schedule.BeginTick(2500ms));
    schedule.EndTick();
    EXPECT_EQ(schedule.NextDue(), 3s);
}

TEST(TickScheduleTest, MissedTicksAllRunSoTheCountMatchesTheTimePassed) {
    TickSchedule schedule;
    schedule.SwitchOn(0ms);
    int ticks = 0;
    while (schedule.BeginTick(5200ms)) {
        ++ticks;
        schedule.EndTick();
    }
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(schedule.NextDue(), 6s);
}

TEST(TickScheduleTest, SwitchingOffAndOnRestartsTheCount) {
    TickSchedule schedule;
    schedule.SwitchOn(0ms);
    ASSERT_TRUE(schedule.BeginTick(1s));
    // Stop and Start pressed inside the tick's report.
    schedule.SwitchOff();
    EXPECT_FALSE(schedule.IsOn());
    EXPECT_EQ(schedule.NextDue(), std::nullopt);
    schedule.SwitchOn(1300ms);
    EXPECT_FALSE(schedule.BeginTick(5s));  // the outer tick is still running
    schedule.EndTick();
    EXPECT_EQ(schedule.NextDue(), 2300ms);
    EXPECT_FALSE(schedule.BeginTick(2s));
    EXPECT_TRUE(schedule.BeginTick(2300ms));
}

}  // namespace
}  // namespace lullcast
