#include <windows.h>

#include <climits>

#include "client/quill_aol8/user32_window_functions.h"

namespace lullcast::quill_aol8 {
namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

WindowHandle ToHandle(HWND window) {
    // Window handles carry 32 significant bits, also on 64-bit Windows.
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

bool IsSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) {
        return {};
    }
    const int utf8_length = static_cast<int>(utf8.size());
    const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8_length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8_length, wide.data(), wide_length);
    return wide;
}

// One "?" per character beyond the Basic Multilingual Plane: no ANSI code
// page holds one, and converted as it stands its surrogate pair would give two.
std::wstring OneMarkPerAstralCharacter(const std::wstring& wide) {
    std::wstring marked;
    marked.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (IsSurrogate(wide[i])) {
            marked.push_back(L'?');
            const bool pair = wide[i] <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                              wide[i + 1] <= 0xDFFF;
            i += pair ? 1 : 0;
        } else {
            marked.push_back(wide[i]);
        }
    }
    return marked;
}

void Send(WindowHandle window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (lullcast::IsWindow(window)) {
        SendMessageA(ToHwnd(window), message, wparam, lparam);
    }
}

}  // namespace

std::string ToAnsiCodePage(std::string_view utf8) {
    const std::wstring wide = OneMarkPerAstralCharacter(Utf8ToWide(utf8));
    if (wide.empty()) {
        return {};
    }
    // Without WC_NO_BEST_FIT_CHARS a character missing from the code page
    // could arrive as a look-alike ("ā" as "a"); the code page's default
    // character "?" shows instead that something could not be carried.
    const int wide_length = static_cast<int>(wide.size());
    const int ansi_length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                wide_length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(ansi_length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, ansi.data(),
                        ansi_length, nullptr, nullptr);
    return ansi;
}

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
