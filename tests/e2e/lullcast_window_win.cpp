#include "e2e/lullcast_window_win.h"

#include <array>
#include <vector>

#include "core/text_win.h"
#include "e2e/processes_win.h"
#include "ui/resource_ids.h"

namespace lullcast::e2e {
namespace {

constexpr auto kWindowTimeout = std::chrono::seconds(10);

struct WindowSearch {
    DWORD process_id;
    std::wstring_view class_name;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM search_address) {
    auto& search = *reinterpret_cast<WindowSearch*>(search_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    std::array<wchar_t, 64> class_name{};
    GetClassNameW(window, class_name.data(), static_cast<int>(class_name.size()));
    if (owner != search.process_id || IsWindowVisible(window) == FALSE ||
        std::wstring_view(class_name.data()) != search.class_name) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR& result) {
    return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, 2000, &result) != 0;
}

INPUT MouseInput(POINT screen_point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen_point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen_point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

// A left click at the centre of the window, as a user makes it.
void ClickOn(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const POINT centre{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    std::array<INPUT, 3> inputs = {MouseInput(centre, 0), MouseInput(centre, MOUSEEVENTF_LEFTDOWN),
                                   MouseInput(centre, MOUSEEVENTF_LEFTUP)};
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

HWND FindProcessWindow(DWORD process_id, const wchar_t* class_name) {
    WindowSearch search{process_id, class_name, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<LullCastWindow> LullCastWindow::Find(DWORD process_id,
                                                   std::chrono::milliseconds timeout) {
    if (!WaitUntil([&] { return FindProcessWindow(process_id, L"LullCastForm1") != nullptr; },
                   timeout)) {
        return std::nullopt;
    }
    return LullCastWindow(FindProcessWindow(process_id, L"LullCastForm1"), process_id);
}

HWND LullCastWindow::Control(int control_id) const {
    const HWND direct = GetDlgItem(window_, control_id);
    return direct != nullptr ? direct : GetDlgItem(GetDlgItem(window_, IDC_PICTURE1), control_id);
}

std::string LullCastWindow::ControlText(int control_id) const {
    std::array<wchar_t, 1024> text{};
    DWORD_PTR length = 0;
    if (!SendWithTimeout(Control(control_id), WM_GETTEXT, text.size(),
                         reinterpret_cast<LPARAM>(text.data()), length)) {
        return "<no answer>";
    }
    return NarrowToUtf8(std::wstring_view(text.data(), length));
}

bool LullCastWindow::IsControlEnabled(int control_id) const {
    return IsWindowEnabled(Control(control_id)) != FALSE;
}

void LullCastWindow::ClickButton(int control_id) const {
    PostMessageW(Control(control_id), BM_CLICK, 0, 0);
}

void LullCastWindow::ClickExitLabel() const {
    const HWND label = Control(IDC_LABEL3);
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void LullCastWindow::Close() const { PostMessageW(window_, WM_CLOSE, 0, 0); }

bool LullCastWindow::ReadInputBox(std::chrono::milliseconds timeout) const {
    return WaitUntil([this] { return InputBox() != nullptr; }, timeout);
}

bool LullCastWindow::AnswerInputBox(int button, const std::optional<std::string>& typed) const {
    const HWND box = InputBox();
    DWORD_PTR ignored = 0;
    if (box == nullptr ||
        (typed && !SendWithTimeout(GetDlgItem(box, IDC_INPUT_TEXT), WM_SETTEXT, 0,
                                   reinterpret_cast<LPARAM>(WidenUtf8(*typed).c_str()), ignored))) {
        return false;
    }
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    return WaitUntil([box] { return IsWindow(box) == FALSE || IsWindowVisible(box) == FALSE; },
                     kWindowTimeout);
}

::testing::AssertionResult LullCastWindow::ChooseMenuItem(int downs) const {
    // The keys go to the window in front. Under Wine, SetForegroundWindow from
    // another program has no effect, and a click on a program that is not in
    // front may only take the front from the other one: a user clicks again,
    // on the status line, where a press does nothing else.
    for (int click = 0; click < 5 && GetForegroundWindow() != window_; ++click) {
        ClickOn(Control(IDC_LABEL1));
        WaitUntil([this] { return GetForegroundWindow() == window_; }, std::chrono::seconds(1));
    }
    if (GetForegroundWindow() != window_) {
        return ::testing::AssertionFailure() << "the window did not come to the front";
    }
    // A mouse click, unlike a posted one, cannot overtake input still queued.
    ClickOn(Control(IDC_SSCOMMAND3));
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = FindProcessWindow(process_id_, L"#32768")) != nullptr; },
                   kWindowTimeout)) {
        return ::testing::AssertionFailure() << "the menu did not open";
    }
    std::vector<INPUT> keys;
    for (int key = 0; key <= downs; ++key) {
        for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key < downs ? VK_DOWN : VK_RETURN;
            input.ki.dwFlags = flags;
            keys.push_back(input);
        }
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    const bool closed =
        WaitUntil([menu] { return IsWindow(menu) == FALSE || IsWindowVisible(menu) == FALSE; },
                  kWindowTimeout);
    // Off the window, where the pointer leaves the buttons alone.
    INPUT away =
        MouseInput({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}, 0);
    SendInput(1, &away, sizeof(INPUT));
    return closed ? ::testing::AssertionSuccess()
                  : ::testing::AssertionFailure() << "the menu did not close";
}

bool LullCastWindow::Answers(std::chrono::milliseconds timeout) const {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &ignored) != 0;
}

}  // namespace lullcast::e2e
