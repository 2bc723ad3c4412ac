#pragma once

#include <cstdint>
#include <optional>

#include "core/event_loop.h"

namespace lullcast {

// Keeps the one-second tick on time. The n-th tick after the tick is switched
// on falls due n seconds after that moment, whatever the timer's own lateness,
// so errors never add up; a tick never starts inside the previous one, and a
// tick that falls due meanwhile runs as soon as that one has ended. Ticks
// missed while the thread was held up all run, one after another, so the
// count of ticks keeps matching the time that has passed.
class TickSchedule {
  public:
    static constexpr MonoTime kInterval = std::chrono::seconds(1);

    void SwitchOn(MonoTime now);
    void SwitchOff();
    [[nodiscard]] bool IsOn() const { return on_; }
    [[nodiscard]] bool IsTicking() const { return ticking_; }

    // When the next tick falls due; nothing while the tick is off.
    [[nodiscard]] std::optional<MonoTime> NextDue() const;

    // Whether a tick should start at `now`: the tick is on, one is due, and
    // none is running. When true, the caller runs the tick and then calls
    // EndTick.
    [[nodiscard]] bool BeginTick(MonoTime now);
    void EndTick();

  private:
    bool on_ = false;
    bool ticking_ = false;
    MonoTime switched_on_at_{};
    std::uint64_t ticks_begun_ = 0;
};

}  // namespace lullcast
