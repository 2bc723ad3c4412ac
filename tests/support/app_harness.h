#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "app/last_input_clock.h"
#include "app/main_window.h"
#include "app/tick_schedule.h"
#include "core/client_operations.h"
#include "settings/handle_store.h"
#include "support/virtual_event_loop.h"

namespace lullcast::testing {

inline MonoTime Seconds(double seconds) {
    return std::chrono::duration_cast<MonoTime>(std::chrono::duration<double>(seconds));
}

// What the program did, in order and with the virtual time it happened at:
// "status Idling...", "click 6", "chat ¬ rsn ¬ brb", "save Bob", ...
struct JournalEntry {
    MonoTime at;
    std::string what;
    bool operator==(const JournalEntry&) const = default;
};
void PrintTo(const JournalEntry& entry, std::ostream* out);

class Journal {
  public:
    explicit Journal(const VirtualEventLoop& loop) : loop_(loop) {}
    void Add(std::string what) { entries_.push_back({loop_.Now(), std::move(what)}); }

    [[nodiscard]] const std::vector<JournalEntry>& Entries() const { return entries_; }
    // What happened, from entry `first` on, without the times.
    [[nodiscard]] std::vector<std::string> Whats(std::size_t first = 0) const;
    // The entries that start with `prefix`.
    [[nodiscard]] std::vector<JournalEntry> Matching(std::string_view prefix) const;
    [[nodiscard]] std::size_t Size() const { return entries_.size(); }
    void Clear() { entries_.clear(); }

  private:
    const VirtualEventLoop& loop_;
    std::vector<JournalEntry> entries_;
};

// Thrown where the real window would end the process.
struct ProgramEnded {};

// A scripted answer to the next text prompt; `while_open` runs inside the
// modal prompt, the way events reach the program while a dialog is open.
struct PromptAnswer {
    std::optional<std::string> text;
    std::function<void()> while_open;
};

class FakeMainWindow final : public MainWindow {
  public:
    explicit FakeMainWindow(Journal& journal) : journal_(journal) {}

    void SetStatusLine(std::string_view text) override;
    void SetStartEnabled(bool enabled) override {
        journal_.Add(enabled ? "Start enabled" : "Start disabled");
    }
    void SetStopEnabled(bool enabled) override {
        journal_.Add(enabled ? "Stop enabled" : "Stop disabled");
    }
    void SetElapsedDisplay(std::string_view text) override { elapsed_display = text; }
    void SetTickRunning(bool running) override;
    [[nodiscard]] std::optional<std::string> PromptForText(std::string_view prompt,
                                                           std::string_view title,
                                                           std::string_view default_text) override;
    void ShowInformationBox(std::string_view text, std::string_view title,
                            InformationBoxStyle style) override;
    void Minimise() override { journal_.Add("minimise"); }
    void MakeTopmost() override { journal_.Add("topmost"); }
    [[noreturn]] void EndProgram() override;

    // Answers for the prompts to come; an unscripted prompt is accepted with
    // its default text.
    std::deque<PromptAnswer> prompt_answers;
    std::function<void(bool)> on_tick_switched;

    std::string status_line = "Welcome to Lull-Cast!";
    std::string elapsed_display = "00:00:00";

  private:
    Journal& journal_;
};

// Records the client operations. Chat lines are checked to be exactly the
// faded markup of some text in the program's colours, and journaled as that
// text.
class RecordingClient final : public ClientOperations {
  public:
    explicit RecordingClient(Journal& journal) : journal_(journal) {}

    void SendChatLine(std::string_view line) override;
    void SendInstantMessage(std::string_view recipient, std::string_view text) override;
    void ClickFrontChildIcon(int position) override;

    std::vector<std::string> malformed_lines;
    // Runs inside every chat line's sending, as a real client's window
    // searches let events run.
    std::function<void()> while_sending;

  private:
    Journal& journal_;
};

class MemoryHandleStore final : public HandleStore {
  public:
    explicit MemoryHandleStore(Journal& journal) : journal_(journal) {}
    [[nodiscard]] std::string LoadHandle() override { return stored; }
    void SaveHandle(std::string_view handle) override {
        stored = handle;
        journal_.Add("save " + stored);
    }

    std::string stored;

  private:
    Journal& journal_;
};

// The desktop's last input at a scripted virtual time.
class ScriptedLastInput final : public LastInputClock {
  public:
    explicit ScriptedLastInput(const VirtualEventLoop& loop) : loop_(loop) {}
    [[nodiscard]] std::uint32_t MillisecondsSinceLastInput() override {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(loop_.Now() - at).count());
    }
    MonoTime at{0};

  private:
    const VirtualEventLoop& loop_;
};

// The main window's logic on fakes, with the one-second tick served by the
// virtual clock: the n-th tick after Start falls due n seconds after Start,
// and a tick never runs nested inside the previous one.
class AppHarness {
  public:
    AppHarness();

    // Runs the program's event loop for `seconds` of virtual time.
    void RunFor(double seconds) { loop.RunFor(Seconds(seconds)); }
    // Scripts `event` to run `seconds` from now, nested in whatever runs then.
    void After(double seconds, std::function<void()> event) {
        loop.After(Seconds(seconds), std::move(event));
    }
    // Loads the window, then clears the journal of what loading did.
    void LoadQuietly();
    // Presses Start with the reason `reason` (nothing: Cancel) and runs the flow.
    void StartIdling(std::optional<std::string> reason = "brb");
    // Runs the event loop until `ticks` more ticks have run; the clock then
    // stands at the last one's due time, or at the end of its report.
    void RunTicks(int ticks);

    [[nodiscard]] MonoTime Now() const { return loop.Now(); }

    VirtualEventLoop loop;
    Journal journal{loop};
    FakeMainWindow window{journal};
    RecordingClient client{journal};
    MemoryHandleStore store{journal};
    AwaySettings settings;  // the plain program unless a test sets them
    ScriptedLastInput last_input{loop};
    Form1 form{window, client, store, loop, settings, last_input};
    int ticks_run = 0;

  private:
    void SwitchTick(bool running);
    void RunDueTicks();
    void ArmTimer();

    TickSchedule schedule_;
    int timer_generation_ = 0;
};

}  // namespace lullcast::testing
