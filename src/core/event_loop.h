#pragma once

#include <chrono>

namespace lullcast {

// Time on a clock that never jumps (not wall time), counted from an arbitrary
// start. A wait across midnight or a clock change still lasts its duration.
using MonoTime = std::chrono::nanoseconds;

// The user-interface thread's event loop, as far as the program's own waits
// need it. Everything runs on one thread: a handler that yields here lets
// other handlers run nested inside it.
class EventLoop {
  public:
    virtual ~EventLoop() = default;

    [[nodiscard]] virtual MonoTime Now() const = 0;

    // Runs every event that is pending now (input, timer ticks, window
    // messages) and returns when none is left.
    virtual void ProcessPendingEvents() = 0;

    // Blocks until an event is pending or `deadline` has come, whichever is
    // first. It runs no event itself.
    virtual void WaitForEventOrDeadline(MonoTime deadline) = 0;

  protected:
    EventLoop() = default;
    EventLoop(const EventLoop&) = default;
    EventLoop& operator=(const EventLoop&) = default;
    EventLoop(EventLoop&&) = default;
    EventLoop& operator=(EventLoop&&) = default;
};

}  // namespace lullcast
