#pragma once

namespace lullcast {

class EventLoop;

// The gap between consecutive chat lines of one flow, and the wait after each
// press of the client's toolbar icon.
inline constexpr double kAnnouncementGapSeconds = 0.3;

// Returns once `seconds` have passed on the loop's clock. Meanwhile every
// pending event is processed, so the window stays responsive and other
// handlers may run nested inside the wait; between passes the thread sleeps
// until the next event or the deadline instead of spinning.
void Pause(EventLoop& loop, double seconds);

}  // namespace lullcast
