#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/away_log.h"
#include "core/colour.h"
#include "core/event_loop.h"
#include "settings/away_settings.h"

namespace lullcast {

class ClientOperations;
class EventLoop;
class HandleStore;
class LastInputClock;
class MainWindow;
class SettingsStore;

// The main window's logic: its working fields and the flows behind its events
// and its popup menu's commands. It talks to the window, the chat client, the
// handle store and the event loop only through their interfaces, so every flow
// runs the same on the real window and on a test's fakes.
//
// Handlers may run nested inside one another: every pause, every chat line
// and every modal prompt lets the event loop run other events. Each handler
// therefore keeps its values in the fields or in its own locals.
//
// The away settings are optional behaviour on top: going away by itself after
// a spell without input and coming back at the next input, and a calmer
// report interval, the user's own colours, wave and face. With their defaults
// every flow runs as it always has.
class Form1 {
  public:
    // The plain program: no auto-away, a report every minute.
    Form1(MainWindow& window, ClientOperations& client, HandleStore& handle_store,
          EventLoop& event_loop);
    // With `settings`; `last_input` tells how long the desktop has been idle.
    // Both must outlive the object.
    // `settings` is what the program runs by; the settings dialog changes it.
    Form1(MainWindow& window, ClientOperations& client, HandleStore& handle_store,
          EventLoop& event_loop, AwaySettings& settings, LastInputClock& last_input);
    // The same, with the settings dialog's changes kept in `settings_store`.
    Form1(MainWindow& window, ClientOperations& client, HandleStore& handle_store,
          EventLoop& event_loop, AwaySettings& settings, LastInputClock& last_input,
          SettingsStore& settings_store);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    Form1(Form1&&) = delete;
    Form1& operator=(Form1&&) = delete;
    ~Form1() = default;

    // Events of the window.
    void Form_Load();
    void SSCommand1_Click();           // Start
    void SSCommand2_Click();           // Stop
    [[noreturn]] void Label3_Click();  // "Exit" in the title strip
    void Label2_Click();               // "Min" in the title strip
    void Timer1_Timer();               // the one-second tick
    // The once-a-second look at the desktop's idle time, while auto-away is
    // on. It does nothing while a flow, a prompt or a menu of the program is
    // running, and acts at the next look after.
    void AutoAway_Timer();

    // Commands of the popup menu.
    void About_Click();
    void Greetz_Click();
    void Contacts_Click();
    void HandleChange_Click();
    void IMzON_Click();
    void IMzOff_Click();
    // The settings dialog: what it changes applies at once (a running idle
    // period keeps its report interval and its away log) and is written to
    // the settings file, only the entries that changed.
    void Settings_Click();
    void Minimize_Click();
    [[noreturn]] void Exit_Click();

    // Marks the program busy while the object lives: for a modal loop that
    // the window runs itself (the popup menu, a window move).
    class BusyScope {
      public:
        explicit BusyScope(Form1& form) : form_(form) { ++form_.busy_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        BusyScope(BusyScope&&) = delete;
        BusyScope& operator=(BusyScope&&) = delete;
        ~BusyScope() { --form_.busy_; }

      private:
        Form1& form_;
    };
    [[nodiscard]] bool AutoAwayOn() const { return settings_.auto_away_minutes.has_value(); }
    // Whether the desktop's idle time must be looked at: auto-away is on, or
    // a period that it started waits for the user's return.
    [[nodiscard]] bool WatchesIdleTime() const {
        return AutoAwayOn() || auto_started_at_.has_value();
    }

    // The working fields.
    [[nodiscard]] const std::string& RsN() const { return rsn_; }
    [[nodiscard]] const std::string& HrZ() const { return hrz_; }
    [[nodiscard]] const std::string& Minz() const { return minz_; }
    [[nodiscard]] const std::string& SecZ() const { return secz_; }
    [[nodiscard]] const std::string& Handle() const { return handle_; }
    // The swatches: the first and the last colour of the fade.
    [[nodiscard]] Colour Clr1() const { return FadeColours().front(); }
    [[nodiscard]] Colour Clr2() const { return FadeColours().back(); }

  private:
    // Setting a counter or the handle raises its change event before returning.
    void SetHrZ(std::string text);
    void SetMinz(std::string text);
    void SetSecZ(std::string text);
    void SetHandle(std::string text);
    void HrZ_Change();
    void Minz_Change();
    void SecZ_Change();
    void Handle_Change();

    // Start, with the prompt skipped when a reason is given.
    void StartFlow(const std::optional<std::string>& given_reason);
    void SetStartEnabled(bool enabled);
    void SetTickRunning(bool running);
    // The last step of Start and of a report: "Idling..." while the period
    // still runs. A Stop nested in their pauses has ended it already, and its
    // own status line stands.
    void ShowIdlingIfStillIdle();
    // Ends an idle period that auto-away started once input has come since.
    void ReturnOnInput();
    [[nodiscard]] bool IsReportMinute() const;
    void CarrySecondsIntoMinutes();
    void ReportMinute();
    void CarryMinutesIntoHours();
    [[noreturn]] void ExitFlow();
    void MinimiseFlow();
    void SwitchInstantMessages(std::string_view announcement, std::string_view recipient);

    // The colours every line fades through: from dark teal to cyan (the last
    // character of every line), unless the user has a list of their own.
    [[nodiscard]] std::span<const Colour> FadeColours() const;
    // Writes what changed between the two settings; the names of the
    // settings that could not be written.
    [[nodiscard]] std::string SaveSettings(const AwaySettings& before, const AwaySettings& after,
                                           bool starts_with_windows, bool start_with_windows);
    // The away log: a look at the front room's transcript at most once a
    // second while a period runs (`whenever`: at once), and the list of what
    // named the user when the period ends.
    void BeginAwayLog();
    void LookForMentions(bool whenever);
    [[nodiscard]] std::string EndAwayLog();

    void Announce(std::string_view text);
    void PauseBetweenLines();

    // What the plain program runs by (and changes through its dialog).
    AwaySettings plain_settings_;
    MainWindow& window_;
    ClientOperations& client_;
    HandleStore& handle_store_;
    EventLoop& event_loop_;
    AwaySettings& settings_;
    LastInputClock& last_input_;
    SettingsStore& settings_store_;

    // How many flows, prompts and menus of the program are running.
    int busy_ = 0;
    bool start_enabled_ = true;
    bool tick_running_ = false;
    // The report interval of the running idle period, fixed at its start:
    // its reports are counted on it.
    int period_report_minutes_ = 1;
    // When the running idle period was started by auto-away.
    std::optional<MonoTime> auto_started_at_;

    AwayLog away_log_;
    bool logging_ = false;
    // A read of the transcript runs the event loop: a Stop and a new Start
    // may run inside it, and what it read then belongs to no period.
    int period_ = 0;
    bool looking_ = false;
    std::optional<MonoTime> last_look_;

    std::string rsn_ = "Eating Pie";
    std::string hrz_ = "0";
    std::string minz_ = "0";
    std::string secz_ = "0";
    std::string handle_ = "Handle";
};

}  // namespace lullcast
