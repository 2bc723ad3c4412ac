#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/last_input_clock.h"
#include "app/main_window.h"
#include "app/tick_schedule.h"
#include "core/client_operations.h"
#include "settings/handle_store.h"
#include "settings/settings_store.h"
#include "support/chat_line.h"
#include "support/virtual_event_loop.h"

namespace lullcast::testing {

// The nearest nanosecond, so that 59.8 s is 59,800,000,000 ns also where
// doubles carry more bits than binary64 (the x87 unit).
inline MonoTime Seconds(double seconds) {
    return std::chrono::round<MonoTime>(std::chrono::duration<double>(seconds));
}

// Thrown where the real window would end the process.
struct ProgramEnded {};

// The main window's logic on a virtual clock, with this object as its window,
// chat client, handle store, idle clock and settings store. Each thing they
// are asked to do is journaled with its time: "status Idling...", "click 6",
// "save Bob", "display 00:00:01", "chat ¬ rsn ¬ brb" (a chat line must be
// exactly the fade of that text in the program's colours, else it reads
// "chat <malformed>"; every line is kept as sent in `chat_lines`), "settings",
// "write FADE=#FF0000, #FFFF00", "remove AWAYLOG", "run on". The one-second
// tick is driven as the real window drives it: one timer, armed for the
// schedule's next due time.
class AppHarness final : public MainWindow,
                         public ClientOperations,
                         public HandleStore,
                         public LastInputClock,
                         public SettingsStore {
  public:
    void RunFor(double seconds) { loop.RunFor(Seconds(seconds)); }
    // Scripts `event` at `seconds` on the clock, nested in whatever runs then.
    void At(double seconds, std::function<void()> event) {
        loop.At(Seconds(seconds), std::move(event));
    }
    void After(double seconds, std::function<void()> event) {
        loop.After(Seconds(seconds), std::move(event));
    }
    void InputAt(double seconds) {
        At(seconds, [this] { last_input_at = loop.Now(); });
    }
    // Loads the window and clears the journal and the lines of what loading did.
    void LoadQuietly() {
        form.Form_Load();
        journal_.clear();
        chat_lines.clear();
        mark_ = {};
    }
    // Presses Start, answering the reason prompt with `reason` (nothing: Cancel).
    void StartIdling(std::optional<std::string> reason = "brb") {
        Answer(std::move(reason));
        form.SSCommand1_Click();
    }
    // The answer to the next prompt; `while_open` runs inside it, the way
    // events reach the program while a dialog is open.
    void Answer(std::optional<std::string> text, std::function<void()> while_open = {}) {
        answers_.emplace_back(std::move(text), std::move(while_open));
    }
    // Runs until `ticks` more ticks have run, the clock at the last one's due
    // time or at the end of its report.
    void RunTicks(int ticks);
    // The auto-away timer's look at the idle time, on every whole second.
    void LookEverySecond(int from = 1) {
        At(from, [this, from] {
            // As the window does: only while the form watches the idle time.
            if (form.WatchesIdleTime()) form.AutoAway_Timer();
            LookEverySecond(from + 1);
        });
    }
    // From here on: where Log begins and what its times count from.
    void Mark() { mark_ = {journal_.size(), loop.Now()}; }
    // The journal's entries since the mark that start with `prefix`, each as
    // "<ms since the mark> <what>".
    [[nodiscard]] std::vector<std::string> Log(std::string_view prefix = "") const;

    void SetStatusLine(std::string_view text) override { Note("status", text); }
    void SetStartEnabled(bool on) override { Note(on ? "Start enabled" : "Start disabled"); }
    void SetStopEnabled(bool on) override { Note(on ? "Stop enabled" : "Stop disabled"); }
    void SetElapsedDisplay(std::string_view text) override { Note("display", display = text); }
    void SetTickRunning(bool running) override;
    [[nodiscard]] std::optional<std::string> PromptForText(std::string_view prompt,
                                                           std::string_view title,
                                                           std::string_view default_text) override;
    // The box texts are mostly the program's own constants: they are kept in
    // `box_texts`, out of the journal.
    void ShowInformationBox(std::string_view text, std::string_view title,
                            InformationBoxStyle style) override {
        Note("info", std::to_string(static_cast<int>(style)) + " | " + std::string(title));
        box_texts.emplace_back(text);
        if (while_box_open) while_box_open();
    }
    void Minimise() override { Note("minimise"); }
    void MakeTopmost() override { Note("topmost"); }
    void ShowMentions(std::string_view list) override { Note("mentions", list); }
    // Seconds on the clock, where the window gives the time of day.
    [[nodiscard]] std::string TimeOfDay() const override {
        return std::to_string(std::chrono::round<std::chrono::seconds>(loop.Now()).count());
    }
    [[noreturn]] void EndProgram() override {
        Note("end");
        throw ProgramEnded{};
    }
    void SendChatLine(std::string_view line) override {
        chat_lines.emplace_back(line);
        Note("chat", PlainTextOfChatLine(line).value_or("<malformed>"));
        // The room shows the line behind the user's name.
        if (transcript)
            *transcript += stored_handle + ": " + journal_.back().second.substr(5) + "\n";
    }
    void SendInstantMessage(std::string_view recipient, std::string_view text) override {
        Note("im", std::string(recipient) + " " + std::string(text));
    }
    [[nodiscard]] std::optional<Transcript> ReadFrontTranscript() override {
        Note("read");
        if (!transcript) return std::nullopt;
        return Transcript{.room = WindowHandle{7}, .text = *transcript};
    }
    void ClickFrontChildIcon(int position) override { Note("click", std::to_string(position)); }
    [[nodiscard]] std::string LoadHandle() override { return stored_handle; }
    void SaveHandle(std::string_view handle) override { Note("save", stored_handle = handle); }
    [[nodiscard]] std::uint32_t MillisecondsSinceLastInput() override {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(loop.Now() - last_input_at)
                .count());
    }

    // The settings dialog: answered by `edit_settings`, cancelled without it.
    [[nodiscard]] std::optional<SettingsChoice> EditSettings(
        const SettingsChoice& shown, const ChatLineInLook& line_in) override {
        Note("settings");
        if (!edit_settings) return std::nullopt;
        return edit_settings(shown, line_in);
    }
    // A key in `failing` ("RUN" for the start with Windows) is journaled and
    // not kept.
    [[nodiscard]] bool WriteEntry(std::string_view key,
                                  const std::optional<std::string>& value) override {
        Note(value ? "write" : "remove",
             value ? std::string(key) + "=" + *value : std::string(key));
        return !failing.contains(std::string(key));
    }
    [[nodiscard]] bool StartsWithWindows() override { return starts_with_windows; }
    [[nodiscard]] bool SetStartWithWindows(bool on) override {
        Note("run", on ? "on" : "off");
        return !failing.contains("RUN");
    }

    VirtualEventLoop loop;
    AwaySettings settings;                 // the plain program unless a test sets them
    std::function<void()> while_box_open;  // runs while an information box is open
    std::string stored_handle = "Bob";
    std::string display;
    std::optional<std::string> transcript;  // none: no chat room is open
    MonoTime last_input_at{};
    int ticks_run = 0;
    std::vector<std::string> chat_lines;  // every chat line as sent
    std::vector<std::string> box_texts;   // every information box's text
    std::function<std::optional<SettingsChoice>(const SettingsChoice&, const ChatLineInLook&)>
        edit_settings;
    std::set<std::string> failing;  // the settings store's keys that are not written
    bool starts_with_windows = false;
    Form1 form{*this, *this, *this, loop, settings, *this, *this};

  private:
    void Note(std::string_view what, std::string_view detail = {}) {
        journal_.emplace_back(loop.Now(), detail.empty()
                                              ? std::string(what)
                                              : std::string(what) + " " + std::string(detail));
    }
    void ArmTimer();
    void RunDueTicks();

    std::vector<std::pair<MonoTime, std::string>> journal_;
    std::pair<std::size_t, MonoTime> mark_{};
    std::deque<std::pair<std::optional<std::string>, std::function<void()>>> answers_;
    TickSchedule schedule_;
    int timer_generation_ = 0;
};

}  // namespace lullcast::testing
