#include "app/tick_schedule.h"

#include <gtest/gtest.h>

namespace lullcast {
namespace {

using namespace std::chrono_literals;

// The n-th tick is due n seconds after switching on, whatever the timer's
// lateness; none starts inside the running one, missed ones all run, and
// switching off and on inside a tick counts afresh from then.
TEST(TickScheduleTest, DueOnWholeSecondsNeverNestedMissedTicksRunRestartCountsAfresh) {
    TickSchedule schedule;
    EXPECT_EQ(schedule.NextDue(), std::nullopt);
    schedule.SwitchOn(500ms);
    for (int tick = 1; tick <= 600; ++tick) {
        const MonoTime due = 500ms + std::chrono::seconds(tick);
        ASSERT_FALSE(schedule.BeginTick(due - 1ns));
        ASSERT_TRUE(schedule.BeginTick(tick % 2 == 0 ? due : due + 30ms));
        EXPECT_FALSE(schedule.BeginTick(due + 5s));  // inside the running one
        schedule.EndTick();
    }
    int missed = 0;
    for (; schedule.BeginTick(604600ms); schedule.EndTick()) ++missed;
    EXPECT_EQ(missed, 4);
    ASSERT_TRUE(schedule.BeginTick(605500ms));
    schedule.SwitchOff();
    EXPECT_EQ(schedule.NextDue(), std::nullopt);
    schedule.SwitchOn(605800ms);
    schedule.EndTick();
    EXPECT_FALSE(schedule.BeginTick(606799ms));
    EXPECT_TRUE(schedule.BeginTick(606800ms));
}

}  // namespace
}  // namespace lullcast
