#include <windows.h>

#include "client/quill_aol8/user32_window_functions.h"
#include "core/text_win.h"

namespace lullcast::quill_aol8 {
namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

WindowHandle ToHandle(HWND window) {
    // Window handles carry 32 significant bits, also on 64-bit Windows.
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

void Send(WindowHandle window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (lullcast::IsWindow(window)) {
        SendMessageA(ToHwnd(window), message, wparam, lparam);
    }
}

}  // namespace

WindowHandle User32WindowFunctions::FindTopLevel(std::string_view class_name) {
    const std::string name(class_name);
    return ToHandle(FindWindowA(name.c_str(), nullptr));
}

WindowHandle User32WindowFunctions::FindChild(WindowHandle parent, WindowHandle after,
                                              std::string_view class_name) {
    const std::string name(class_name);
    return ToHandle(FindWindowExA(ToHwnd(parent), ToHwnd(after), name.c_str(), nullptr));
}

WindowHandle User32WindowFunctions::FirstSibling(WindowHandle window) {
    return ToHandle(GetWindow(ToHwnd(window), GW_HWNDFIRST));
}

WindowHandle User32WindowFunctions::NextSibling(WindowHandle window) {
    return ToHandle(GetWindow(ToHwnd(window), GW_HWNDNEXT));
}

void User32WindowFunctions::SetText(WindowHandle window, std::string_view text) {
    const std::string ansi = ToAnsiCodePage(text);
    Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

void User32WindowFunctions::SendChar(WindowHandle window, std::uint32_t character) {
    Send(window, WM_CHAR, character, 0);
}

void User32WindowFunctions::LeftButtonDown(WindowHandle window) {
    Send(window, WM_LBUTTONDOWN, 0, 0);
}

void User32WindowFunctions::LeftButtonUp(WindowHandle window) { Send(window, WM_LBUTTONUP, 0, 0); }

void User32WindowFunctions::KeyUp(WindowHandle window, std::uint32_t virtual_key) {
    Send(window, WM_KEYUP, virtual_key, 0);
}

}  // namespace lullcast::quill_aol8
