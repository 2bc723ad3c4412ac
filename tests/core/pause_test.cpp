#include "core/pause.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "support/virtual_event_loop.h"

namespace lullcast {
namespace {

using std::chrono::milliseconds;

// Every event due inside the wait runs, with one sleep per event and none
// spinning; a nested pause and time spent in a handler do not shorten the
// outer pause's own duration.
TEST(PauseTest, RunsEveryEventDueInsideSleepsBetweenAndNestsWhole) {
    VirtualEventLoop loop;
    std::vector<MonoTime> ran_at;
    for (const int ms : {0, 100, 299, 300, 301}) {
        loop.At(milliseconds(ms), [&] { ran_at.push_back(loop.Now()); });
    }
    Pause(loop, 0.3);
    EXPECT_EQ(ran_at, (std::vector<MonoTime>{milliseconds(0), milliseconds(100), milliseconds(299),
                                             milliseconds(300)}));
    EXPECT_EQ(loop.WaitCount(), 3);
    loop.At(milliseconds(400), [&] {
        Pause(loop, 0.3);
        loop.Advance(milliseconds(500));
    });
    Pause(loop, 0.3);
    EXPECT_EQ(loop.Now(), milliseconds(1200));
}

TEST(PauseTest, ZeroNegativeAndNanStillProcessPendingEventsOnce) {
    for (const double seconds : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        VirtualEventLoop loop;
        int runs = 0;
        loop.At(milliseconds(0), [&] { ++runs; });
        Pause(loop, seconds);
        EXPECT_EQ(runs, 1) << seconds;
        EXPECT_EQ(loop.Now(), milliseconds(0)) << seconds;
    }
}

}  // namespace
}  // namespace lullcast
