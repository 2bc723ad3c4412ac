#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "core/event_loop.h"

namespace lullcast {

// An event loop on a virtual clock. Events are scripted at points in time; a
// wait jumps the clock straight to the next event or the deadline, so an hour
// of ticks runs in milliseconds. Events run in time order, ties in the order
// they were scripted, and may themselves wait (nested loops), script further
// events or spend time (Advance).
class VirtualEventLoop final : public EventLoop {
  public:
    using Event = std::function<void()>;

    [[nodiscard]] MonoTime Now() const override { return now_; }

    void ProcessPendingEvents() override {
        ++process_count_;
        while (!events_.empty() && events_.begin()->first.first <= now_) {
            Event event = std::move(events_.begin()->second);
            events_.erase(events_.begin());
            event();
        }
    }

    void WaitForEventOrDeadline(MonoTime deadline) override {
        ++wait_count_;
        MonoTime wake = deadline;
        if (!events_.empty() && events_.begin()->first.first < wake) {
            wake = events_.begin()->first.first;
        }
        if (wake > now_) {
            now_ = wake;
        }
    }

    // Scripts `event` to become pending at `when` (at once if that has passed).
    void At(MonoTime when, Event event) {
        events_.emplace(std::pair{when, next_sequence_++}, std::move(event));
    }
    void After(MonoTime delay, Event event) { At(now_ + delay, std::move(event)); }

    // Time spent inside a handler without yielding.
    void Advance(MonoTime duration) { now_ += duration; }

    // The top-level message loop: runs events until the clock reaches `until`.
    void RunUntil(MonoTime until) {
        for (;;) {
            ProcessPendingEvents();
            if (now_ >= until) {
                return;
            }
            WaitForEventOrDeadline(until);
        }
    }
    void RunFor(MonoTime duration) { RunUntil(now_ + duration); }

    [[nodiscard]] int ProcessCount() const { return process_count_; }
    [[nodiscard]] int WaitCount() const { return wait_count_; }

  private:
    MonoTime now_{0};
    std::uint64_t next_sequence_ = 0;
    std::map<std::pair<MonoTime, std::uint64_t>, Event> events_;
    int process_count_ = 0;
    int wait_count_ = 0;
};

}  // namespace lullcast
