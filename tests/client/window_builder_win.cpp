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

}  // namespace

// Real windows, each of a class registered under the client's name, record
// the messages they receive as the chat client's controls would see them.
struct WindowBuilder::Platform {
    User32WindowFunctions functions;
    Win32EventLoop loop;
    std::map<HWND, std::vector<ReceivedMessage>> received;
    std::vector<HWND> top_level;

    ~Platform() {
        for (const HWND window : top_level) DestroyWindow(window);
    }

    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        static constexpr std::pair<UINT, MessageKind> kKinds[] = {
            {WM_SETTEXT, MessageKind::kSetText},
            {WM_CHAR, MessageKind::kChar},
            {WM_LBUTTONDOWN, MessageKind::kLeftButtonDown},
            {WM_LBUTTONUP, MessageKind::kLeftButtonUp},
            {WM_KEYUP, MessageKind::kKeyUp}};
        auto* self = reinterpret_cast<Platform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        for (const auto& [id, kind] : kKinds) {
            if (id == message && self != nullptr) {
                const auto* text = reinterpret_cast<const char*>(lparam);
                self->received[window].push_back({kind, static_cast<std::uint32_t>(wparam),
                                                  message == WM_SETTEXT && text != nullptr
                                                      ? NarrowToUtf8(WidenAnsi(text))
                                                      : ""});
            }
        }
        return DefWindowProcA(window, message, wparam, lparam);
    }
};

WindowBuilder::WindowBuilder()
    : platform_(std::make_unique<Platform>()),
      loop_(platform_->loop),
      windows(platform_->functions) {}
WindowBuilder::~WindowBuilder() = default;

WindowHandle WindowBuilder::Create(std::string_view class_name, WindowHandle parent) {
    const std::string name(class_name);
    // The client's MDI area is of the system's own class, and so is the test's.
    CLIENTCREATESTRUCT mdi{.hWindowMenu = nullptr, .idFirstChild = 0xFF00};
    void* parameter = &mdi;
    if (lstrcmpiA(name.c_str(), "mdiclient") != 0) {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = &Platform::Record;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = name.c_str();
        RegisterClassA(&window_class);  // fails harmlessly once the class is there
        parameter = platform_.get();
    }
    const HWND created =
        CreateWindowExA(0, name.c_str(), nullptr, IsWindow(parent) ? WS_CHILD : WS_POPUP, 0, 0, 100,
                        100, ToHwnd(parent), nullptr, GetModuleHandleA(nullptr), parameter);
    if (!IsWindow(parent) && created != nullptr) platform_->top_level.push_back(created);
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(created));
}

void WindowBuilder::BringToTop(WindowHandle window) {
    SetWindowPos(ToHwnd(window), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowBuilder::Destroy(WindowHandle window) {
    std::erase(platform_->top_level, ToHwnd(window));
    DestroyWindow(ToHwnd(window));
}

std::vector<ReceivedMessage> WindowBuilder::Received(WindowHandle window) const {
    const auto found = platform_->received.find(ToHwnd(window));
    return found == platform_->received.end() ? std::vector<ReceivedMessage>{} : found->second;
}

}  // namespace lullcast::quill_aol8
