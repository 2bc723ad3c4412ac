#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/look_settings.h"
#include "settings/settings_fields.h"

namespace lullcast {

// The icon and buttons of an information box, as the platform's message-box
// style numbers.
enum class InformationBoxStyle : int {
    kStop = 16,         // error icon, OK button
    kInformation = 64,  // information icon, OK button
};

// What the settings dialog shows and what the user chose in it.
struct SettingsChoice {
    SettingsFields fields;
    bool start_with_windows = false;
};

// The chat line that the program would post in a look.
using ChatLineInLook = std::function<std::string(const LookSettings&)>;

// The window side of the main window, as its flows need it. The flows write
// to the visible controls but never read them back.
class MainWindow {
  public:
    virtual ~MainWindow() = default;

    virtual void SetStatusLine(std::string_view text) = 0;      // Label1
    virtual void SetStartEnabled(bool enabled) = 0;             // SSCommand1
    virtual void SetStopEnabled(bool enabled) = 0;              // SSCommand2
    virtual void SetElapsedDisplay(std::string_view text) = 0;  // TimeD
    virtual void SetTickRunning(bool running) = 0;              // Timer1

    // A modal single-line text prompt. Returns the entered text on OK and
    // nothing when the user cancels or closes it. Events keep running meanwhile.
    [[nodiscard]] virtual std::optional<std::string> PromptForText(
        std::string_view prompt, std::string_view title, std::string_view default_text) = 0;

    // A modal message box with an OK button; returns when it is dismissed.
    virtual void ShowInformationBox(std::string_view text, std::string_view title,
                                    InformationBoxStyle style) = 0;

    virtual void Minimise() = 0;

    // Shows the lines that named the user during a period, one per line, in a
    // window of its own that does not hold up the program; a list still open
    // is replaced. Only the away log calls it.
    virtual void ShowMentions(std::string_view /*list*/) {}
    // The modal settings dialog, showing `shown` and a preview of the line
    // `line_in` composes in the look of its fields. Returns what the user
    // chose with OK (fields that SettingsFromFields takes), nothing when the
    // dialog was cancelled. Events keep running meanwhile.
    [[nodiscard]] virtual std::optional<SettingsChoice> EditSettings(
        const SettingsChoice& /*shown*/, const ChatLineInLook& /*line_in*/) {
        return std::nullopt;
    }
    // The local time of day, "HH:MM:SS".
    [[nodiscard]] virtual std::string TimeOfDay() const { return {}; }

    // Keeps the window above every window that is not topmost, also when
    // another application is active.
    virtual void MakeTopmost() = 0;

    // Ends the program at once: no later step of any running flow, including
    // the flows that this one runs nested in, may run.
    [[noreturn]] virtual void EndProgram() = 0;

  protected:
    MainWindow() = default;
    MainWindow(const MainWindow&) = default;
    MainWindow& operator=(const MainWindow&) = default;
    MainWindow(MainWindow&&) = default;
    MainWindow& operator=(MainWindow&&) = default;
};

}  // namespace lullcast
