#include "support/app_harness.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>

#include "support/chat_line.h"

namespace lullcast::testing {
void PrintTo(const JournalEntry& entry, std::ostream* out) {
    *out << std::chrono::duration_cast<std::chrono::milliseconds>(entry.at).count() << "ms \""
         << entry.what << '"';
}

std::vector<std::string> Journal::Whats(std::size_t first) const {
    std::vector<std::string> whats;
    for (std::size_t i = first; i < entries_.size(); ++i) whats.push_back(entries_[i].what);
    return whats;
}

std::vector<JournalEntry> Journal::Matching(std::string_view prefix) const {
    std::vector<JournalEntry> matching;
    std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(matching),
                 [&](const JournalEntry& entry) { return entry.what.starts_with(prefix); });
    return matching;
}

void FakeMainWindow::SetStatusLine(std::string_view text) {
    status_line = text;
    journal_.Add("status " + status_line);
}

void FakeMainWindow::SetTickRunning(bool running) {
    journal_.Add(running ? "tick on" : "tick off");
    if (on_tick_switched) on_tick_switched(running);
}

std::optional<std::string> FakeMainWindow::PromptForText(std::string_view prompt,
                                                         std::string_view title,
                                                         std::string_view default_text) {
    journal_.Add("prompt " + std::string(prompt) + " | " + std::string(title) + " | " +
                 std::string(default_text));
    if (prompt_answers.empty()) return std::string(default_text);
    PromptAnswer answer = std::move(prompt_answers.front());
    prompt_answers.pop_front();
    if (answer.while_open) answer.while_open();
    return answer.text;
}

void FakeMainWindow::ShowInformationBox(std::string_view text, std::string_view title,
                                        InformationBoxStyle style) {
    // The texts themselves are the program's own constants.
    static_cast<void>(text);
    journal_.Add("info " + std::to_string(static_cast<int>(style)) + " | " + std::string(title));
}

void FakeMainWindow::EndProgram() {
    journal_.Add("end");
    throw ProgramEnded{};
}

void RecordingClient::SendChatLine(std::string_view line) {
    if (while_sending) while_sending();
    const std::optional<std::string> text = PlainTextOfChatLine(line);
    if (!text) {
        malformed_lines.emplace_back(line);
    }
    journal_.Add("chat " + text.value_or("<malformed>"));
}

void RecordingClient::SendInstantMessage(std::string_view recipient, std::string_view text) {
    journal_.Add("im " + std::string(recipient) + " " + std::string(text));
}

void RecordingClient::ClickFrontChildIcon(int position) {
    journal_.Add("click " + std::to_string(position));
}

AppHarness::AppHarness() {
    window.on_tick_switched = [this](bool running) { SwitchTick(running); };
}

void AppHarness::LoadQuietly() {
    form.Form_Load();
    journal.Clear();
}

void AppHarness::StartIdling(std::optional<std::string> reason) {
    window.prompt_answers.push_back({std::move(reason), {}});
    form.SSCommand1_Click();
}

void AppHarness::RunTicks(int ticks) {
    const int target = ticks_run + ticks;
    while (ticks_run < target && schedule_.IsOn()) {
        loop.RunUntil(std::max(*schedule_.NextDue(), loop.Now()));
    }
}

// The window's timer, as the real window drives it: one timer armed for the
// next due time, re-armed after every wake.
void AppHarness::SwitchTick(bool running) {
    if (running) {
        schedule_.SwitchOn(loop.Now());
    } else {
        schedule_.SwitchOff();
    }
    ArmTimer();
}

void AppHarness::ArmTimer() {
    const int generation = ++timer_generation_;
    if (const std::optional<MonoTime> due = schedule_.NextDue()) {
        loop.At(*due, [this, generation] {
            if (generation == timer_generation_) RunDueTicks();
        });
    }
}

void AppHarness::RunDueTicks() {
    // A wake inside a running tick leaves the due ticks to that tick's own
    // loop below, which re-arms the timer when it is done.
    if (schedule_.IsTicking()) return;
    while (schedule_.BeginTick(loop.Now())) {
        ++ticks_run;
        form.Timer1_Timer();
        schedule_.EndTick();
    }
    ArmTimer();
}

}  // namespace lullcast::testing
