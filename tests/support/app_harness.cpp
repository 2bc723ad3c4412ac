#include "support/app_harness.h"

#include <algorithm>
#include <stdexcept>

#include "support/chat_line.h"

namespace lullcast::testing {

void AppHarness::LoadQuietly() {
    form.Form_Load();
    journal_.clear();
}

void AppHarness::StartIdling(std::optional<std::string> reason) {
    prompt_answers.push_back({std::move(reason), {}});
    form.SSCommand1_Click();
}

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

void AppHarness::LookEverySecond(int from) {
    At(from, [this, from] {
        form.AutoAway_Timer();
        LookEverySecond(from + 1);
    });
}

std::vector<std::string> AppHarness::Log(std::string_view prefix, std::size_t first,
                                         MonoTime origin) const {
    std::vector<std::string> log;
    for (std::size_t i = first; i < journal_.size(); ++i) {
        const auto& [at, what] = journal_[i];
        if (!what.starts_with(prefix)) continue;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at - origin);
        log.push_back(std::to_string(ms.count()) + " " + what);
    }
    return log;
}

void AppHarness::Note(std::string_view what, std::string_view detail) {
    std::string entry(what);
    if (!detail.empty()) entry.append(" ").append(detail);
    journal_.emplace_back(loop.Now(), std::move(entry));
}

void AppHarness::SetElapsedDisplay(std::string_view text) {
    display = text;
    Note("display", text);
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

std::optional<std::string> AppHarness::PromptForText(std::string_view prompt,
                                                     std::string_view title,
                                                     std::string_view default_text) {
    Note("prompt",
         std::string(prompt) + " | " + std::string(title) + " | " + std::string(default_text));
    if (prompt_answers.empty()) return std::string(default_text);
    PromptAnswer answer = std::move(prompt_answers.front());
    prompt_answers.pop_front();
    if (answer.while_open) answer.while_open();
    return answer.text;
}

// The box texts are the program's own constants; the title and style are not.
void AppHarness::ShowInformationBox(std::string_view /*text*/, std::string_view title,
                                    InformationBoxStyle style) {
    Note("info", std::to_string(static_cast<int>(style)) + " | " + std::string(title));
}

void AppHarness::EndProgram() {
    Note("end");
    throw ProgramEnded{};
}

void AppHarness::SendChatLine(std::string_view line) {
    if (while_sending) while_sending();
    Note("chat", PlainTextOfChatLine(line).value_or("<malformed>"));
}

void AppHarness::SendInstantMessage(std::string_view recipient, std::string_view text) {
    Note("im", std::string(recipient) + " " + std::string(text));
}

void AppHarness::SaveHandle(std::string_view handle) {
    stored_handle = handle;
    Note("save", handle);
}

std::uint32_t AppHarness::MillisecondsSinceLastInput() {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(loop.Now() - last_input_at).count());
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
