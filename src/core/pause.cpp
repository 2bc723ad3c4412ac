#include "core/pause.h"

#include <chrono>
#include <cmath>

#include "core/binary64_rounding.h"
#include "core/event_loop.h"

namespace lullcast {

namespace {

// A negative or NaN duration is no wait at all; an absurdly long one is capped
// so the deadline cannot overflow. The same count on every build: on the x87
// unit, 0.3 s would otherwise come out a nanosecond short.
MonoTime DurationOf(double seconds) {
    [[maybe_unused]] const Binary64Rounding rounding;
    seconds = Binary64Rounding::Pass(seconds);
    constexpr double kLongestPauseSeconds = 1.0e6;
    const double clamped =
        std::isgreaterequal(seconds, 0.0) ? std::fmin(seconds, kLongestPauseSeconds) : 0.0;
    return Binary64Rounding::Pass(
        std::chrono::duration_cast<MonoTime>(std::chrono::duration<double>(clamped)));
}

}  // namespace

void Pause(EventLoop& loop, double seconds) {
    // Pending events run at least once, also for no wait at all.
    const MonoTime deadline = loop.Now() + DurationOf(seconds);
    for (;;) {
        loop.ProcessPendingEvents();
        if (loop.Now() >= deadline) {
            return;
        }
        loop.WaitForEventOrDeadline(deadline);
    }
}

}  // namespace lullcast
