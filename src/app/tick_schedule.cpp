#include "app/tick_schedule.h"

namespace lullcast {

void TickSchedule::SwitchOn(MonoTime now) {
    on_ = true;
    switched_on_at_ = now;
    ticks_begun_ = 0;
}

void TickSchedule::SwitchOff() { on_ = false; }

std::optional<MonoTime> TickSchedule::NextDue() const {
    if (!on_) {
        return std::nullopt;
    }
    return switched_on_at_ + kInterval * static_cast<MonoTime::rep>(ticks_begun_ + 1);
}

bool TickSchedule::BeginTick(MonoTime now) {
    const std::optional<MonoTime> due = NextDue();
    if (ticking_ || !due || now < *due) {
        return false;
    }
    ticking_ = true;
    ++ticks_begun_;
    return true;
}

void TickSchedule::EndTick() { ticking_ = false; }

}  // namespace lullcast
