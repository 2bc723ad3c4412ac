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
    if (command == L"start" || command == L"stop" || command == L"exit" || command == L"read" ||
        command == L"point-at") {
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
        return Read(main_window);
    }
    std::fwprintf(stderr,
                  L"usage: lullcast-drive wait|start [reason]|stop|exit|read|park-pointer|"
                  L"nudge-pointer|point-at start|stop|strip|bare-window\n");
    return 2;
}
