#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "core/event_loop.h"

namespace lullcast {

// An event loop on a virtual clock: a wait jumps straight to the next event
// or the deadline. Events run in time order, ties in the order scripted, and
// may wait themselves (nested loops), script more events or spend time.
class VirtualEventLoop final : public EventLoop {
  public:
    using Event = std::function<void()>;

    [[nodiscard]] MonoTime Now() const override { return now_; }

    void ProcessPendingEvents() override {
        while (!events_.empty() && events_.begin()->first.first <= now_) {
            Event event = std::move(events_.begin()->second);
            events_.erase(events_.begin());
            event();
        }
    }

    void WaitForEventOrDeadline(MonoTime deadline) override {
        ++wait_count_;
        const MonoTime next = events_.empty() ? deadline : events_.begin()->first.first;
        now_ = std::max(now_, std::min(next, deadline));
    }

    // Scripts `event` to become pending at `when` (at once if that has passed).
    void At(MonoTime when, Event event) {
        events_.emplace(std::pair{when, next_sequence_++}, std::move(event));
    }
    void After(MonoTime delay, Event event) { At(now_ + delay, std::move(event)); }
    // Time spent inside a handler without yielding.
    void Advance(MonoTime duration) { now_ += duration; }

    // The top-level message loop, until the clock reaches `until`.
    void RunUntil(MonoTime until) {
        for (ProcessPendingEvents(); now_ < until; ProcessPendingEvents()) {
            WaitForEventOrDeadline(until);
        }
    }
    void RunFor(MonoTime duration) { RunUntil(now_ + duration); }

    [[nodiscard]] int WaitCount() const { return wait_count_; }

  private:
    MonoTime now_{0};
    std::uint64_t next_sequence_ = 0;
    std::map<std::pair<MonoTime, std::uint64_t>, Event> events_;
    int wait_count_ = 0;
};

}  // namespace lullcast
