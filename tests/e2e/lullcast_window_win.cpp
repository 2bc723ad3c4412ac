#include "e2e/lullcast_window_win.h"

#include <array>
#include <vector>

#include "core/text_win.h"
#include "e2e/processes_win.h"
#include "ui/resource_ids.h"

namespace lullcast::e2e {
namespace {

constexpr auto kMessageTimeout = std::chrono::milliseconds(2000);
constexpr auto kWindowTimeout = std::chrono::seconds(10);

constexpr const wchar_t* kMainWindowClass = L"LullCastForm1";
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr const wchar_t* kPopupMenuClass = L"#32768";

struct WindowSearch {
    DWORD process_id;
    std::wstring_view class_name;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM search_address) {
    auto& search = *reinterpret_cast<WindowSearch*>(search_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process_id || IsWindowVisible(window) == FALSE) return TRUE;
    std::array<wchar_t, 64> class_name{};
    GetClassNameW(window, class_name.data(), static_cast<int>(class_name.size()));
    if (std::wstring_view(class_name.data()) != search.class_name) return TRUE;
    search.found = window;
    return FALSE;
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                     DWORD_PTR* result = nullptr) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL,
                               static_cast<UINT>(kMessageTimeout.count()),
                               result != nullptr ? result : &ignored) != 0;
}

INPUT KeyInput(WORD virtual_key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtual_key;
    input.ki.dwFlags = flags;
    return input;
}

// Presses and lets go of each key in turn, as a user types them.
void TypeKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        inputs.push_back(KeyInput(key, 0));
        inputs.push_back(KeyInput(key, KEYEVENTF_KEYUP));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT MouseInput(POINT screen_point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen_point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen_point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

void MovePointerTo(POINT screen_point) {
    INPUT input = MouseInput(screen_point, 0);
    SendInput(1, &input, sizeof(INPUT));
}

// A left click at a point of the screen, as a user makes it.
void ClickAt(POINT screen_point) {
    std::array<INPUT, 3> inputs = {MouseInput(screen_point, 0),
                                   MouseInput(screen_point, MOUSEEVENTF_LEFTDOWN),
                                   MouseInput(screen_point, MOUSEEVENTF_LEFTUP)};
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// "class (process id)", for messages.
std::string DescribeWindow(HWND window) {
    if (window == nullptr) return "none";
    std::array<wchar_t, 64> class_name{};
    GetClassNameW(window, class_name.data(), static_cast<int>(class_name.size()));
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return NarrowToUtf8(class_name.data()) + " (process " + std::to_string(owner) + ")";
}

}  // namespace

HWND FindProcessWindow(DWORD process_id, const wchar_t* class_name) {
    WindowSearch search{process_id, class_name, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<std::string> WindowText(HWND window) {
    std::array<wchar_t, 1024> text{};
    DWORD_PTR length = 0;
    if (window == nullptr || !SendWithTimeout(window, WM_GETTEXT, text.size(),
                                              reinterpret_cast<LPARAM>(text.data()), &length)) {
        return std::nullopt;
    }
    return NarrowToUtf8(std::wstring_view(text.data(), length));
}

std::optional<LullCastWindow> LullCastWindow::Find(DWORD process_id,
                                                   std::chrono::milliseconds timeout) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = FindProcessWindow(process_id, kMainWindowClass);
            return window != nullptr;
        },
        timeout);
    if (window == nullptr) return std::nullopt;
    return LullCastWindow(window, process_id);
}

HWND LullCastWindow::Control(int control_id) const {
    const HWND direct = GetDlgItem(window_, control_id);
    return direct != nullptr ? direct : GetDlgItem(GetDlgItem(window_, IDC_PICTURE1), control_id);
}

std::string LullCastWindow::ControlText(int control_id) const {
    return WindowText(Control(control_id)).value_or("<no answer>");
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

HWND LullCastWindow::InputBox() const { return FindProcessWindow(process_id_, kDialogClass); }

std::optional<InputBoxContents> LullCastWindow::ReadInputBox(
    std::chrono::milliseconds timeout) const {
    if (!WaitUntil([this] { return InputBox() != nullptr; }, timeout)) return std::nullopt;
    const HWND box = InputBox();
    return InputBoxContents{
        WindowText(box).value_or("<no answer>"),
        WindowText(GetDlgItem(box, IDC_INPUT_PROMPT)).value_or("<no answer>"),
        WindowText(GetDlgItem(box, IDC_INPUT_TEXT)).value_or("<no answer>"),
    };
}

bool LullCastWindow::AnswerInputBox(int button, const std::optional<std::string>& typed) const {
    const HWND box = InputBox();
    if (box == nullptr) return false;
    if (typed) {
        const std::wstring text = WidenUtf8(*typed);
        if (!SendWithTimeout(GetDlgItem(box, IDC_INPUT_TEXT), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(text.c_str()))) {
            return false;
        }
    }
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    return WaitUntil([box] { return IsWindow(box) == FALSE || IsWindowVisible(box) == FALSE; },
                     kWindowTimeout);
}

bool LullCastWindow::BringToFront() const {
    // Under Wine, SetForegroundWindow from another program has no effect, and
    // a click on a window of a program that is not in front may only take
    // the front from the other program (Wine's desktop gets it). A user
    // clicks again, on the status line, where a press does nothing else.
    constexpr int kClicks = 5;
    RECT status_line{};
    GetWindowRect(Control(IDC_LABEL1), &status_line);
    const POINT centre{(status_line.left + status_line.right) / 2,
                       (status_line.top + status_line.bottom) / 2};
    for (int click = 0; click < kClicks; ++click) {
        if (GetForegroundWindow() == window_) return true;
        ClickAt(centre);
        WaitUntil([this] { return GetForegroundWindow() == window_; }, std::chrono::seconds(1));
    }
    return GetForegroundWindow() == window_;
}

::testing::AssertionResult LullCastWindow::ChooseMenuItem(int downs) const {
    // The keys go to the window in front. The menu opens with a click of the
    // mouse, as a user's: unlike a posted click, it cannot overtake input
    // that is still queued.
    RECT button{};
    GetWindowRect(Control(IDC_SSCOMMAND3), &button);
    if (!BringToFront()) {
        return ::testing::AssertionFailure()
               << "the window did not come to the front; the foreground window is "
               << DescribeWindow(GetForegroundWindow());
    }
    ClickAt({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    HWND menu = nullptr;
    const bool opened = WaitUntil(
        [&] {
            menu = FindProcessWindow(process_id_, kPopupMenuClass);
            return menu != nullptr;
        },
        kWindowTimeout);
    if (!opened) {
        return ::testing::AssertionFailure() << "the menu did not open; the foreground window is "
                                             << DescribeWindow(GetForegroundWindow());
    }
    std::vector<WORD> keys(static_cast<std::size_t>(downs), VK_DOWN);
    keys.push_back(VK_RETURN);
    TypeKeys(keys);
    const bool closed =
        WaitUntil([menu] { return IsWindow(menu) == FALSE || IsWindowVisible(menu) == FALSE; },
                  kWindowTimeout);
    // Off the window, where the pointer leaves the buttons alone.
    MovePointerTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
    if (!closed) {
        return ::testing::AssertionFailure() << "the menu did not close; the foreground window is "
                                             << DescribeWindow(GetForegroundWindow());
    }
    return ::testing::AssertionSuccess();
}

bool LullCastWindow::Answers(std::chrono::milliseconds timeout) const {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &ignored) != 0;
}

}  // namespace lullcast::e2e
