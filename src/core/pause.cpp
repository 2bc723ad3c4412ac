#include "core/pause.h"

#include <chrono>
#include <cmath>

#include "core/event_loop.h"

namespace lullcast {

void Pause(EventLoop& loop, double seconds) {
    // A negative or NaN duration is no wait at all, but pending events still run
    // once; an absurdly long one is capped so the deadline cannot overflow.
    constexpr double kLongestPauseSeconds = 1.0e6;
    const double clamped =
        std::isgreaterequal(seconds, 0.0) ? std::fmin(seconds, kLongestPauseSeconds) : 0.0;
    const auto duration =
        std::chrono::duration_cast<MonoTime>(std::chrono::duration<double>(clamped));
    const MonoTime deadline = loop.Now() + duration;
    for (;;) {
        loop.ProcessPendingEvents();
        if (loop.Now() >= deadline) {
            return;
        }
        loop.WaitForEventOrDeadline(deadline);
    }
}

}  // namespace lullcast
