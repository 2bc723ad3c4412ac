#pragma once

#include <cstdint>

#include "core/event_loop.h"

namespace lullcast {

// A small event loop over the thread's Windows message queue, for tests that
// wait on real windows and timers.
class Win32TestEventLoop final : public EventLoop {
  public:
    Win32TestEventLoop();

    [[nodiscard]] MonoTime Now() const override;
    void ProcessPendingEvents() override;
    void WaitForEventOrDeadline(MonoTime deadline) override;

    [[nodiscard]] int ProcessCount() const { return process_count_; }

  private:
    std::int64_t counter_frequency_ = 1;
    int process_count_ = 0;
};

}  // namespace lullcast
