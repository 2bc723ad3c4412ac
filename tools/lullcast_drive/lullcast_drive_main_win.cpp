// lullcast-drive: works Lull-Cast's window from outside, as a user would, for
// the demo and the measurement scripts. Console program.
//
//   lullcast-drive wait [seconds]     waits until Lull-Cast's window shows
//   lullcast-drive start [reason]     presses Start and answers the reason prompt
//   lullcast-drive stop               presses Stop
//   lullcast-drive exit               clicks "Exit" on the title strip
//   lullcast-drive read               prints the status line and the elapsed time
//   lullcast-drive park-pointer       moves the mouse pointer to the screen's corner
//   lullcast-drive nudge-pointer      moves the pointer a pixel as the mouse does (input to
//                                     the desktop, which ends an auto-away period)
//   lullcast-drive point-at start|stop|strip
//                                     rests the mouse pointer on the Start or Stop button or
//                                     on the title strip (between its texts)
//   lullcast-drive settings           opens the settings dialog from the menu, as a user
//                                     does with the mouse and the keyboard, and prints
//                                     where it is on the screen (dialog=WxH+X+Y)
//   lullcast-drive settings-cancel    presses Cancel in the settings dialog
//   lullcast-drive bare-window        shows a plain window until it is closed (a
//                                     baseline for memory measurements)
//
// Exits 0 on success, 1 when the window or the prompt does not show in time,
// 2 on a bad command line.
#include <windows.h>

#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

#include "ui/resource_ids.h"

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kAnswerTimeoutMs = 2000;

// The window exists, hidden, while the program starts up; it can be used once
// it shows.
HWND FindMainWindow() {
    const HWND window = FindWindowW(L"LullCastForm1", nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

HWND WaitFor(HWND (*find)(), DWORD timeout_ms) {
    for (DWORD waited = 0; waited <= timeout_ms; waited += kPollMs) {
        if (const HWND window = find()) return window;
        Sleep(kPollMs);
    }
    return nullptr;
}

HWND FindPrompt() { return FindWindowW(L"#32770", L"Lull-Cast 2k3"); }

HWND Control(HWND main_window, int id) {
    const HWND direct = GetDlgItem(main_window, id);
    return direct != nullptr ? direct : GetDlgItem(GetDlgItem(main_window, IDC_PICTURE1), id);
}

// Another process's text: GetWindowText does not read it under every system.
std::wstring TextOf(HWND window) {
    std::array<wchar_t, 256> text{};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length);
    return {text.data(), static_cast<std::size_t>(length)};
}

int Start(HWND main_window, const wchar_t* reason) {
    PostMessageW(Control(main_window, IDC_SSCOMMAND1), BM_CLICK, 0, 0);
    const HWND prompt = WaitFor(&FindPrompt, 10'000);
    if (prompt == nullptr) return 1;
    if (reason != nullptr) {
        SendMessageTimeoutW(GetDlgItem(prompt, IDC_INPUT_TEXT), WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(reason), SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                            nullptr);
    }
    PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
    return 0;
}

void Press(WORD virtual_key) {
    std::array<INPUT, 2> keys{};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = virtual_key;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

HWND FindMenu() { return FindWindowW(L"#32768", nullptr); }

// A real click on the Menu button opens the popup menu; the keyboard then
// goes down to "Settings...", the fifth item.
int OpenSettings(HWND main_window) {
    RECT bounds{};
    GetWindowRect(Control(main_window, IDC_SSCOMMAND3), &bounds);
    SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    std::array<INPUT, 2> clicks{};
    for (INPUT& click : clicks) click.type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(static_cast<UINT>(clicks.size()), clicks.data(), sizeof(INPUT));
    if (WaitFor(&FindMenu, 5000) == nullptr) return 1;
    constexpr int kDownsToSettings = 5;
    for (int down = 0; down < kDownsToSettings; ++down) Press(VK_DOWN);
    Press(VK_RETURN);
    SetCursorPos(0, 0);
    const HWND dialog = WaitFor(&FindPrompt, 10'000);
    if (dialog == nullptr) return 1;
    RECT area{};
    GetWindowRect(dialog, &area);
    std::wprintf(L"dialog=%ldx%ld+%ld+%ld\n", area.right - area.left, area.bottom - area.top,
                 area.left, area.top);
    return 0;
}

int ClickExit(HWND main_window) {
    const HWND exit_label = Control(main_window, IDC_LABEL3);
    PostMessageW(exit_label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(exit_label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    return 0;
}

// The pointer where a user leaves it after pressing a button, or after
// dragging the window by its strip: in the middle of the button, or on the
// strip's bare gradient between "Min" and the time.
int PointAt(HWND main_window, std::wstring_view place) {
    const bool on_strip = place == L"strip";
    if (!on_strip && place != L"start" && place != L"stop") return 2;
    const int id = on_strip ? IDC_PICTURE1 : place == L"start" ? IDC_SSCOMMAND1 : IDC_SSCOMMAND2;
    const HWND control = Control(main_window, id);
    RECT bounds{};
    if (control == nullptr || !GetWindowRect(control, &bounds)) return 1;
    const int x = on_strip ? bounds.left + 35 : (bounds.left + bounds.right) / 2;
    return SetCursorPos(x, (bounds.top + bounds.bottom) / 2) ? 0 : 1;
}

int Read(HWND main_window) {
    std::wprintf(L"status=%ls\ntime=%ls\n", TextOf(Control(main_window, IDC_LABEL1)).c_str(),
                 TextOf(Control(main_window, IDC_TIMED)).c_str());
    return 0;
}

LRESULT CALLBACK BareWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int ShowBareWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &BareWindowProcedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"BareWindow";
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassW(&window_class);
    CreateWindowExW(0, L"BareWindow", L"bare window", WS_POPUP | WS_VISIBLE, 0, 0, 121, 66, nullptr,
                    nullptr, window_class.hInstance, nullptr);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring_view command = argc > 1 ? argv[1] : L"";
    if (command == L"bare-window") return ShowBareWindow();
    if (command == L"park-pointer") return SetCursorPos(0, 0) ? 0 : 1;
    if (command == L"nudge-pointer") {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = 1;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        return SendInput(1, &input, sizeof input) == 1 ? 0 : 1;
    }
    if (command == L"wait") {
        const DWORD seconds = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 10;
        return WaitFor(&FindMainWindow, seconds * 1000) != nullptr ? 0 : 1;
    }
    const HWND main_window = FindMainWindow();
    if (command == L"settings-cancel") {
        const HWND dialog = FindPrompt();
        return dialog != nullptr && PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0) ? 0
                                                                                               : 1;
    }
    if (command == L"start" || command == L"stop" || command == L"exit" || command == L"read" ||
        command == L"point-at" || command == L"settings") {
        if (main_window == nullptr) {
            std::fwprintf(stderr, L"lullcast-drive: Lull-Cast's window is not there\n");
            return 1;
        }
        if (command == L"start") return Start(main_window, argc > 2 ? argv[2] : nullptr);
        if (command == L"stop") {
            PostMessageW(Control(main_window, IDC_SSCOMMAND2), BM_CLICK, 0, 0);
            return 0;
        }
        if (command == L"exit") return ClickExit(main_window);
        if (command == L"point-at") return PointAt(main_window, argc > 2 ? argv[2] : L"");
        if (command == L"settings") return OpenSettings(main_window);
        return Read(main_window);
    }
    std::fwprintf(
        stderr,
        L"usage: lullcast-drive wait|start [reason]|stop|exit|read|park-pointer|"
        L"nudge-pointer|point-at start|stop|strip|settings|settings-cancel|bare-window\n");
    return 2;
}
