#include "support/app_harness.h"

#include <algorithm>
#include <stdexcept>

namespace lullcast::testing {

void AppHarness::RunTicks(int ticks) {
    const int target = ticks_run + ticks;
    while (ticks_run < target && schedule_.IsOn()) {
        const int before = ticks_run;
        const std::optional<MonoTime> due = schedule_.NextDue();
        loop.RunUntil(std::max(*due, loop.Now()));
        // Rather than wait for ever on a tick that does not begin when due.
        if (ticks_run == before && schedule_.NextDue() == due) throw std::logic_error("tick stuck");
    }
}

std::vector<std::string> AppHarness::Log(std::string_view prefix) const {
    std::vector<std::string> log;
    for (std::size_t i = mark_.first; i < journal_.size(); ++i) {
        const auto& [at, what] = journal_[i];
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at - mark_.second);
        if (what.starts_with(prefix)) log.push_back(std::to_string(ms.count()) + " " + what);
    }
    return log;
}

std::optional<std::string> AppHarness::PromptForText(std::string_view prompt,
                                                     std::string_view title,
                                                     std::string_view default_text) {
    Note("prompt",
         std::string(prompt) + " | " + std::string(title) + " | " + std::string(default_text));
    if (answers_.empty()) return std::string(default_text);
    auto [text, while_open] = std::move(answers_.front());
    answers_.pop_front();
    if (while_open) while_open();
    return text;
}

void AppHarness::SetTickRunning(bool running) {
    Note(running ? "tick on" : "tick off");
    if (running) {
        schedule_.SwitchOn(loop.Now());
    } else {
        schedule_.SwitchOff();
    }
    ArmTimer();
}

// One timer, armed for the next due time and re-armed after every wake; a
// wake inside a running tick leaves the due ticks to that tick's own loop.
void AppHarness::ArmTimer() {
    const int generation = ++timer_generation_;
    if (const std::optional<MonoTime> due = schedule_.NextDue()) {
        loop.At(*due, [this, generation] {
            if (generation == timer_generation_ && !schedule_.IsTicking()) RunDueTicks();
        });
    }
}

void AppHarness::RunDueTicks() {
    while (schedule_.BeginTick(loop.Now())) {
        ++ticks_run;
        form.Timer1_Timer();
        schedule_.EndTick();
    }
    ArmTimer();
}

}  // namespace lullcast::testing
