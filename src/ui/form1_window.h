#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/form1.h"
#include "app/main_window.h"
#include "app/tick_schedule.h"
#include "ui/handles.h"
#include "ui/label.h"
#include "ui/mentions_window.h"
#include "ui/popup_menu.h"
#include "ui/title_strip.h"
#include "ui/window_base.h"

namespace lullcast {

class ClientOperations;
class HandleStore;
class LastInputClock;
class SettingsStore;
class Win32EventLoop;
struct AwaySettings;

// The main window: a small borderless topmost panel with the title strip
// ("Min", the elapsed time, "Exit"), the Start, Stop and Menu buttons and the
// status line. It routes its events to the flows of Form1 and carries out
// what they ask of the window.
class Form1Window final : public WindowBase, public MainWindow {
  public:
    static constexpr const wchar_t* kClassName = L"LullCastForm1";

    Form1Window(ClientOperations& client, HandleStore& handle_store, Win32EventLoop& event_loop);
    // With the away settings; they and `last_input` must outlive the window.
    Form1Window(ClientOperations& client, HandleStore& handle_store, Win32EventLoop& event_loop,
                AwaySettings& settings, LastInputClock& last_input);
    // With the settings dialog's changes kept in `settings_store` as well.
    Form1Window(ClientOperations& client, HandleStore& handle_store, Win32EventLoop& event_loop,
                AwaySettings& settings, LastInputClock& last_input, SettingsStore& settings_store);
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;
    Form1Window(Form1Window&&) = delete;
    Form1Window& operator=(Form1Window&&) = delete;
    ~Form1Window() override;

    // Creates the window (hidden) and its controls, and with auto-away on the
    // once-a-second look at the desktop's idle time.
    bool Create();
    // Runs the start-up flow, then shows the window centred on the screen.
    void Load();

    // The popup menu, once the Menu button has shown it.
    [[nodiscard]] HMENU Menu() const { return menu_.Handle(); }

    // MainWindow
    void SetStatusLine(std::string_view text) override;
    void SetStartEnabled(bool enabled) override;
    void SetStopEnabled(bool enabled) override;
    void SetElapsedDisplay(std::string_view text) override;
    void SetTickRunning(bool running) override;
    [[nodiscard]] std::optional<std::string> PromptForText(std::string_view prompt,
                                                           std::string_view title,
                                                           std::string_view default_text) override;
    void ShowInformationBox(std::string_view text, std::string_view title,
                            InformationBoxStyle style) override;
    void Minimise() override;
    void ShowMentions(std::string_view list) override;
    [[nodiscard]] std::optional<SettingsChoice> EditSettings(
        const SettingsChoice& shown, const ChatLineInLook& line_in) override;
    [[nodiscard]] std::string TimeOfDay() const override;
    void MakeTopmost() override;
    [[noreturn]] void EndProgram() override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool CreateControls();
    HWND CreateButton(int control_id, const wchar_t* caption, RECT bounds, bool enabled);
    void SetButtonEnabled(HWND button, HWND partner, bool enabled);
    HWND CreateStatic(int control_id, DWORD style, DWORD ex_style, RECT bounds);
    [[nodiscard]] RECT Scaled(int left, int top, int width, int height) const;
    void ApplyDefaultFont();
    // The system's message font, or the stock GUI font where it could not be made.
    [[nodiscard]] HFONT Font() const;

    void OnCommand(WORD control_id, WORD notification);
    void RunMenuCommand(int command);
    void OnTimer(UINT_PTR timer_id);
    void OnTick();
    void ComeForward();
    void ArmTickTimer();
    // The once-a-second look at the desktop's idle time runs while Form1
    // needs it.
    void WatchIdleTimeAsNeeded();
    void StartWindowDrag();

    Win32EventLoop& event_loop_;
    ClientOperations& client_;
    Form1 form_;
    TickSchedule tick_schedule_;
    int dpi_ = kDesignDpi;
    bool watching_idle_time_ = false;
    UniqueFont font_;

    TitleStrip picture1_;
    Label label2_;  // "Min"
    Label timed_;   // the elapsed time
    Label label3_;  // "Exit"
    Label label1_;  // the status line
    HWND sscommand1_ = nullptr;
    HWND sscommand2_ = nullptr;
    PopupMenu menu_;
    MentionsWindow mentions_;
};

}  // namespace lullcast
