#include "core/pause.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "support/virtual_event_loop.h"

namespace lullcast {
namespace {

using std::chrono::milliseconds;

TEST(PauseTest, RunsEveryEventDueInsideTheWaitAndSleepsBetween) {
    VirtualEventLoop loop;
    std::vector<MonoTime> ran_at;
    for (const int ms : {0, 100, 299, 300, 301}) {
        loop.At(milliseconds(ms), [&] { ran_at.push_back(loop.Now()); });
    }
    Pause(loop, 0.3);
    EXPECT_EQ(ran_at, (std::vector<MonoTime>{milliseconds(0), milliseconds(100), milliseconds(299),
                                             milliseconds(300)}));
    EXPECT_EQ(loop.Now(), milliseconds(300));
    EXPECT_EQ(loop.WaitCount(), 3);  // one wait per event, none spinning
}

TEST(PauseTest, NestedAndOverrunningPausesEachLastTheirOwnDuration) {
    VirtualEventLoop loop;
    MonoTime inner_end{};
    loop.At(milliseconds(100), [&] {
        Pause(loop, 0.3);
        inner_end = loop.Now();
        loop.Advance(milliseconds(500));
    });
    Pause(loop, 0.3);
    EXPECT_EQ(inner_end, milliseconds(400));
    EXPECT_EQ(loop.Now(), milliseconds(900));
}

TEST(PauseTest, ZeroNegativeAndNanStillProcessPendingEventsOnce) {
    for (const double seconds : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        VirtualEventLoop loop;
        int runs = 0;
        loop.At(milliseconds(0), [&] { ++runs; });
        Pause(loop, seconds);
        EXPECT_EQ(runs, 1) << seconds;
        EXPECT_EQ(loop.Now(), milliseconds(0)) << seconds;
        EXPECT_EQ(loop.WaitCount(), 0) << seconds;
    }
}

}  // namespace
}  // namespace lullcast
