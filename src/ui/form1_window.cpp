#include "ui/form1_window.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>

#include "core/client_operations.h"
#include "core/text_win.h"
#include "ui/input_box.h"
#include "ui/resource_ids.h"
#include "ui/settings_dialog.h"
#include "ui/single_instance.h"
#include "ui/win32_cast.h"
#include "ui/win32_event_loop.h"

namespace lullcast {
namespace {

constexpr UINT_PTR kTickTimerId = 1;
constexpr UINT_PTR kAutoAwayTimerId = 2;
// How often auto-away looks at the desktop's idle time.
constexpr UINT kAutoAwayCheckMs = 1000;
// How often the client is asked to finish what it left unfinished when the
// chat client stopped answering (a user's draft to put back).
constexpr UINT_PTR kCatchUpTimerId = 3;
constexpr UINT kCatchUpMs = 1000;

// The client area at 96 DPI.
constexpr int kClientWidth = 121;
constexpr int kClientHeight = 66;

constexpr COLORREF kTimeDColour = RGB(0, 255, 0);
constexpr COLORREF kMinColour = RGB(0, 255, 255);

BOOL CALLBACK SetFontOfChild(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

Form1Window::Form1Window(ClientOperations& client, HandleStore& handle_store,
                         Win32EventLoop& event_loop)
    : event_loop_(event_loop), client_(client), form_(*this, client, handle_store, event_loop) {}

Form1Window::Form1Window(ClientOperations& client, HandleStore& handle_store,
                         Win32EventLoop& event_loop, AwaySettings& settings,
                         LastInputClock& last_input)
    : event_loop_(event_loop),
      client_(client),
      form_(*this, client, handle_store, event_loop, settings, last_input) {}

Form1Window::Form1Window(ClientOperations& client, HandleStore& handle_store,
                         Win32EventLoop& event_loop, AwaySettings& settings,
                         LastInputClock& last_input, SettingsStore& settings_store)
    : event_loop_(event_loop),
      client_(client),
      form_(*this, client, handle_store, event_loop, settings, last_input, settings_store) {}

Form1Window::~Form1Window() {
    if (Handle() != nullptr) {
        DestroyWindow(Handle());
    }
}

RECT Form1Window::Scaled(int left, int top, int width, int height) const {
    const auto scale = [this](int pixels) { return MulDiv(pixels, dpi_, kDesignDpi); };
    return RECT{scale(left), scale(top), scale(left + width), scale(top + height)};
}

bool Form1Window::Create() {
    auto* const screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);

    if (!RegisterClassOnce(kClassName, LoadCursorW(nullptr, IDC_ARROW),
                           GetSysColorBrush(COLOR_BTNFACE))) {
        return false;
    }
    // A popup window has no border and no title bar; the system menu and the
    // minimise box give it a taskbar button that can restore it.
    constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT bounds = Scaled(0, 0, kClientWidth, kClientHeight);
    AdjustWindowRectEx(&bounds, kStyle, FALSE, WS_EX_APPWINDOW);
    if (CreateFor(WS_EX_APPWINDOW, kClassName, L"", kStyle, bounds, nullptr, 0) == nullptr) {
        return false;
    }
    WatchIdleTimeAsNeeded();
    SetTimer(Handle(), kCatchUpTimerId, kCatchUpMs, nullptr);
    return CreateControls();
}

HWND Form1Window::CreateButton(int control_id, const wchar_t* caption, RECT bounds, bool enabled) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_PUSHBUTTON |
                        (enabled ? 0 : WS_DISABLED);
    return CreateWindowExW(0, L"BUTTON", caption, style, bounds.left, bounds.top,
                           bounds.right - bounds.left, bounds.bottom - bounds.top, Handle(),
                           ControlIdSlot(control_id), GetModuleHandleW(nullptr), nullptr);
}

HWND Form1Window::CreateStatic(int control_id, DWORD style, DWORD ex_style, RECT bounds) {
    return CreateWindowExW(ex_style, L"STATIC", L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, bounds.left, bounds.top,
                           bounds.right - bounds.left, bounds.bottom - bounds.top, Handle(),
                           ControlIdSlot(control_id), GetModuleHandleW(nullptr), nullptr);
}

bool Form1Window::CreateControls() {
    // Children created first lie on top: the title strip, then the buttons
    // over their 3D panel, then the status line inside its frame.
    bool created = picture1_.Create(Handle(), IDC_PICTURE1, Scaled(0, 0, 121, 17), dpi_);
    auto* const strip = picture1_.Handle();
    // The strip's labels reach to the next one, so that a wider system font
    // still shows them whole.
    created = created && label2_.Create(strip, IDC_LABEL2, L"Min", Scaled(8, 0, 30, 13),
                                        {kMinColour, true, DT_LEFT, true});
    created = created && timed_.Create(strip, IDC_TIMED, L"00:00:00", Scaled(40, 0, 54, 13),
                                       {kTimeDColour, true, DT_LEFT, true});
    created = created && label3_.Create(strip, IDC_LABEL3, L"Exit", Scaled(96, 0, 25, 13),
                                        {CLR_INVALID, true, DT_LEFT, true});
    sscommand1_ = CreateButton(IDC_SSCOMMAND1, L"Start", Scaled(8, 24, 33, 17), true);
    sscommand2_ = CreateButton(IDC_SSCOMMAND2, L"Stop", Scaled(40, 24, 33, 17), false);
    auto* const sscommand3 = CreateButton(IDC_SSCOMMAND3, L"Menu", Scaled(72, 24, 33, 17), true);
    auto* const ssframe1 =
        CreateStatic(IDC_SSFRAME1, 0, WS_EX_DLGMODALFRAME, Scaled(0, 16, 121, 33));
    created =
        created && label1_.Create(Handle(), IDC_LABEL1, L"Welcome to Lull-Cast!",
                                  Scaled(0, 48, 121, 17), {CLR_INVALID, false, DT_CENTER, true});
    auto* const frame2 = CreateStatic(IDC_FRAME2, SS_ETCHEDFRAME, 0, Scaled(0, 40, 121, 25));
    if (!created || sscommand1_ == nullptr || sscommand2_ == nullptr || sscommand3 == nullptr ||
        ssframe1 == nullptr || frame2 == nullptr) {
        return false;
    }

    picture1_.on_any_button_down = [this] { StartWindowDrag(); };
    timed_.on_any_button_down = [this] { StartWindowDrag(); };
    label2_.on_click = [this] { form_.Label2_Click(); };
    label3_.on_click = [this] { form_.Label3_Click(); };
    ApplyDefaultFont();
    return true;
}

void Form1Window::ApplyDefaultFont() {
    // The metrics as Windows XP knows them, ending with the message font.
    // Vista added a last member (the padded border width) that this window
    // does not need; later systems still take the shorter size, and XP
    // refuses the longer one, so this size serves everywhere.
    constexpr UINT kMetricsSizeUpToMessageFont =
        offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = kMetricsSizeUpToMessageFont;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kMetricsSizeUpToMessageFont, &metrics, 0) !=
        FALSE) {
        font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    EnumChildWindows(Handle(), &SetFontOfChild, SlotFrom<LPARAM>(Font()));
}

HFONT Form1Window::Font() const {
    return font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Form1Window::Load() {
    // The window becomes topmost first thing in the start-up flow, before
    // it is shown, as it opens centred on the screen.
    form_.Form_Load();
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    const RECT centred = CentredInWorkArea(bounds.right - bounds.left, bounds.bottom - bounds.top);
    SetWindowPos(Handle(), nullptr, centred.left, centred.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
}

// ---- Messages ----

LRESULT Form1Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_TIMER:
            OnTimer(wparam);
            return 0;
        case kComeForwardMessage:
            ComeForward();
            return 0;
        case WM_CLOSE:
            // The window has no close button; closing it from the taskbar
            // or with Alt+F4 says goodbye like "Exit".
            form_.Exit_Click();
        default:
            return WindowBase::HandleMessage(message, wparam, lparam);
    }
}

void Form1Window::OnCommand(WORD control_id, WORD notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    switch (control_id) {
        case IDC_SSCOMMAND1:
            form_.SSCommand1_Click();
            break;
        case IDC_SSCOMMAND2:
            form_.SSCommand2_Click();
            break;
        case IDC_SSCOMMAND3: {
            int command = 0;
            {
                const Form1::BusyScope busy(form_);
                command = menu_.ShowAtPointer(Handle());
            }
            RunMenuCommand(command);
            break;
        }
        default:
            break;
    }
}

void Form1Window::RunMenuCommand(int command) {
    switch (command) {
        case IDM_ABOUT:
            form_.About_Click();
            break;
        case IDM_GREETZ:
            form_.Greetz_Click();
            break;
        case IDM_CONTACTS:
            form_.Contacts_Click();
            break;
        case IDM_HANDLE_CHANGE:
            form_.HandleChange_Click();
            break;
        case IDM_IMS_ON:
            form_.IMzON_Click();
            break;
        case IDM_IMS_OFF:
            form_.IMzOff_Click();
            break;
        case IDM_SETTINGS:
            form_.Settings_Click();
            WatchIdleTimeAsNeeded();
            break;
        case IDM_MINIMIZE:
            form_.Minimize_Click();
            break;
        case IDM_EXIT:
            form_.Exit_Click();
        default:
            break;  // closed without a choice
    }
}

void Form1Window::StartWindowDrag() {
    // Hand the press to the window manager as a press on a title bar: it moves
    // the window with the mouse until the button is released.
    const Form1::BusyScope busy(form_);
    ReleaseCapture();
    SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(GetMessagePos()));
}

// Another copy was started: this one shows itself instead.
// Not while it is still loading, before it has been shown.
void Form1Window::ComeForward() {
    if (IsWindowVisible(Handle()) == FALSE) {
        return;
    }
    if (IsIconic(Handle()) != FALSE) {
        ShowWindow(Handle(), SW_RESTORE);
    }
    SetForegroundWindow(Handle());
}

// ---- The one-second tick ----

void Form1Window::SetTickRunning(bool running) {
    if (running) {
        tick_schedule_.SwitchOn(event_loop_.Now());
    } else {
        tick_schedule_.SwitchOff();
    }
    ArmTickTimer();
}

void Form1Window::ArmTickTimer() {
    KillTimer(Handle(), kTickTimerId);
    // While a tick runs, its own loop in OnTimer picks up the next one.
    const std::optional<MonoTime> due = tick_schedule_.NextDue();
    if (!due || tick_schedule_.IsTicking()) {
        return;
    }
    const auto delay = std::chrono::ceil<std::chrono::milliseconds>(*due - event_loop_.Now());
    const auto milliseconds = std::clamp<long long>(delay.count(), USER_TIMER_MINIMUM, 60'000);
    SetTimer(Handle(), kTickTimerId, static_cast<UINT>(milliseconds), nullptr);
}

void Form1Window::OnTimer(UINT_PTR timer_id) {
    switch (timer_id) {
        case kTickTimerId:
            OnTick();
            break;
        case kAutoAwayTimerId:
            form_.AutoAway_Timer();
            WatchIdleTimeAsNeeded();
            break;
        case kCatchUpTimerId:
            client_.CatchUp();
            break;
        default:
            break;
    }
}

void Form1Window::WatchIdleTimeAsNeeded() {
    if (!form_.WatchesIdleTime()) {
        KillTimer(Handle(), kAutoAwayTimerId);
        watching_idle_time_ = false;
    } else if (!watching_idle_time_) {
        watching_idle_time_ = SetTimer(Handle(), kAutoAwayTimerId, kAutoAwayCheckMs, nullptr) != 0;
    }
}

void Form1Window::OnTick() {
    if (tick_schedule_.IsTicking()) {
        KillTimer(Handle(), kTickTimerId);
        return;
    }
    while (tick_schedule_.BeginTick(event_loop_.Now())) {
        form_.Timer1_Timer();
        tick_schedule_.EndTick();
    }
    ArmTickTimer();
}

// ---- What the flows ask of the window ----

void Form1Window::SetStatusLine(std::string_view text) {
    SetWindowTextW(label1_.Handle(), WidenUtf8(text).c_str());
}

void Form1Window::SetStartEnabled(bool enabled) {
    SetButtonEnabled(sscommand1_, sscommand2_, enabled);
}
void Form1Window::SetStopEnabled(bool enabled) {
    SetButtonEnabled(sscommand2_, sscommand1_, enabled);
}

// A button disabled while it has the keyboard leaves the focus nowhere, where
// Tab no longer moves it: the focus goes to its partner (Start's is Stop, and
// Stop's Start) or, while that is disabled too, waits on the window for the
// next button enabled. The button with the focus is the default one, which
// Enter presses.
void Form1Window::SetButtonEnabled(HWND button, HWND partner, bool enabled) {
    const bool had_focus = GetFocus() == button;
    EnableWindow(button, enabled ? TRUE : FALSE);
    const auto focus_on = [](HWND control) {
        SetFocus(control);
        SendMessageW(control, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    };
    if (!enabled && had_focus) {
        SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        if (IsWindowEnabled(partner) != FALSE) {
            focus_on(partner);
        } else {
            SetFocus(Handle());
        }
    } else if (enabled && GetFocus() == Handle()) {
        focus_on(button);
    }
}

void Form1Window::SetElapsedDisplay(std::string_view text) {
    SetWindowTextW(timed_.Handle(), WidenUtf8(text).c_str());
}

std::optional<std::string> Form1Window::PromptForText(std::string_view prompt,
                                                      std::string_view title,
                                                      std::string_view default_text) {
    return ShowInputBox(Handle(), prompt, title, default_text);
}

void Form1Window::ShowInformationBox(std::string_view text, std::string_view title,
                                     InformationBoxStyle style) {
    MessageBoxW(Handle(), WidenUtf8(text).c_str(), WidenUtf8(title).c_str(),
                MB_OK | static_cast<UINT>(style));
}

void Form1Window::Minimise() { ShowWindow(Handle(), SW_MINIMIZE); }

void Form1Window::ShowMentions(std::string_view list) { mentions_.Show(Handle(), list, Font()); }

std::optional<SettingsChoice> Form1Window::EditSettings(const SettingsChoice& shown,
                                                        const ChatLineInLook& line_in) {
    return ShowSettingsDialog(Handle(), shown, line_in);
}

std::string Form1Window::TimeOfDay() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::string text = "00:00:00";
    const std::array<WORD, 3> parts = {now.wHour, now.wMinute, now.wSecond};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text[i * 3] = static_cast<char>('0' + parts[i] / 10 % 10);
        text[i * 3 + 1] = static_cast<char>('0' + parts[i] % 10);
    }
    return text;
}

void Form1Window::MakeTopmost() {
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form1Window::EndProgram() { ExitProcess(0); }

}  // namespace lullcast
