#include <windows.h>

#include <map>

#include "client/quill_aol8/user32_window_functions.h"
#include "core/text_win.h"
#include "ui/win32_event_loop.h"
#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

// The messages the client code sends, in the order of MessageKind.
constexpr UINT kRecorded[] = {WM_SETTEXT,      WM_CHAR,          WM_LBUTTONDOWN, WM_LBUTTONUP,
                              WM_KEYUP,        WM_GETTEXTLENGTH, WM_GETTEXT,     EM_SETSEL,
                              EM_GETLINECOUNT, EM_LINEINDEX,     EM_GETLINE};

}  // namespace

// Real windows, each of a class registered under the client's name, record
// the messages they receive as the chat client's controls would see them.
struct WindowBuilder::Platform {
    User32WindowFunctions functions;
    Win32EventLoop loop;
    std::map<HWND, std::vector<ReceivedMessage>> received;
    bool recording = true;

    // Every window of the thread: the test's, as only one builder lives at a time.
    ~Platform() { EnumThreadWindows(GetCurrentThreadId(), &DestroyEach, 0); }
    static BOOL CALLBACK DestroyEach(HWND window, LPARAM) { return DestroyWindow(window) | TRUE; }

    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Platform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        const auto* kind = std::ranges::find(kRecorded, message);
        if (self != nullptr && self->recording && kind != std::end(kRecorded)) {
            const auto* text = message == WM_SETTEXT ? reinterpret_cast<LPCSTR>(lparam) : nullptr;
            self->received[window].push_back(
                {static_cast<MessageKind>(kind - kRecorded), static_cast<std::uint32_t>(wparam),
                 text != nullptr ? NarrowToUtf8(WidenAnsi(text)) : "",
                 message == EM_SETSEL ? static_cast<std::uint32_t>(lparam) : 0U});
        }
        return DefWindowProcA(window, message, wparam, lparam);
    }
};

WindowBuilder::WindowBuilder()
    : platform_(std::make_unique<Platform>()),
      loop_(platform_->loop),
      windows(platform_->functions) {}
WindowBuilder::~WindowBuilder() = default;

WindowHandle WindowBuilder::Make(std::string_view class_name, WindowHandle parent) {
    const std::string name(class_name);
    // The client's MDI area is of the system's own class, and so is the test's.
    CLIENTCREATESTRUCT mdi{.hWindowMenu = nullptr, .idFirstChild = 0xFF00};
    void* parameter = &mdi;
    if (lstrcmpiA(name.c_str(), "mdiclient") != 0) {
        const WNDCLASSA window_class{
            0,       &Platform::Record, 0,       0,       GetModuleHandleA(nullptr),
            nullptr, nullptr,           nullptr, nullptr, name.c_str()};
        RegisterClassA(&window_class);  // fails harmlessly once the class is there
        parameter = platform_.get();
    }
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(
        CreateWindowExA(0, name.c_str(), nullptr, IsWindow(parent) ? WS_CHILD : WS_POPUP, 0, 0, 100,
                        100, ToHwnd(parent), nullptr, GetModuleHandleA(nullptr), parameter)));
}

void WindowBuilder::BringToTop(WindowHandle window) {
    SetWindowPos(ToHwnd(window), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowBuilder::Destroy(WindowHandle window) { DestroyWindow(ToHwnd(window)); }

void WindowBuilder::Type(WindowHandle window, std::string_view text) {
    platform_->recording = false;
    SetWindowTextA(ToHwnd(window), ToAnsiCodePage(text).c_str());
    platform_->recording = true;
}

std::string WindowBuilder::Text(WindowHandle window) const {
    platform_->recording = false;
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(ToHwnd(window))) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(ToHwnd(window), text.data(), static_cast<int>(text.size()))));
    platform_->recording = true;
    return NarrowToUtf8(WidenAnsi(text));
}

std::vector<ReceivedMessage> WindowBuilder::Received(WindowHandle window) const {
    const auto found = platform_->received.find(ToHwnd(window));
    return found == platform_->received.end() ? std::vector<ReceivedMessage>{} : found->second;
}

}  // namespace lullcast::quill_aol8
