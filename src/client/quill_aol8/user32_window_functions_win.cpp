#include <windows.h>

#include <algorithm>
#include <utility>

#include "client/quill_aol8/user32_window_functions.h"
#include "core/text_win.h"

namespace lullcast::quill_aol8 {
namespace {

// How long one message waits for the client's answer. A client that answers
// at all answers far sooner; one that does not must not hold up the
// program's own window, which sits on top of the screen.
constexpr UINT kAnswerTimeoutMs = 200;

// Window handles carry 32 significant bits, also on 64-bit Windows; the
// platform's handle type is a pointer by the API's definition.
HWND ToHwnd(WindowHandle window) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast,performance-no-int-to-ptr)
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

WindowHandle ToHandle(HWND window) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

// A buffer's address in LPARAM, as WM_GETTEXT and WM_SETTEXT take it.
LPARAM BufferParameter(const wchar_t* buffer) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return reinterpret_cast<LPARAM>(buffer);
}

// Sends with a bound: SMTO_ABORTIFHUNG gives up at once on a window that has
// not answered for seconds. Incoming sent messages are still handled while it
// waits (no SMTO_BLOCK), so a client that sends to the program meanwhile is
// not deadlocked. A window that has gone is no unanswered message: nothing
// waits for it, and there is nothing to give up on.
//
// Every message goes as the wide (W) message. Text crosses as UTF-16 made
// from the code page's bytes, which an ANSI control turns back into the same
// bytes. The ANSI form would be the same on Windows, but Wine's converts a
// text message on the sender's side and there waits for the answer to
// WM_GETTEXT without the bound, and reports WM_GETTEXTLENGTH answered when it
// was not.
bool Send(WindowHandle window, UINT message, WPARAM wparam, LPARAM lparam,
          DWORD_PTR* result = nullptr) {
    if (!lullcast::IsWindow(window)) {
        return true;
    }
    DWORD_PTR answer = 0;
    auto* const target = ToHwnd(window);
    if (SendMessageTimeoutW(target, message, wparam, lparam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            kAnswerTimeoutMs, &answer) == 0) {
        return ::IsWindow(target) == FALSE;
    }
    if (result != nullptr) {
        *result = answer;
    }
    return true;
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

bool User32WindowFunctions::SetText(WindowHandle window, std::string_view text) {
    return SetNativeText(window, ToNative(text));
}

NativeText User32WindowFunctions::ToNative(std::string_view text) {
    return NativeText{ToAnsiCodePage(text)};
}

std::string User32WindowFunctions::FromNative(const NativeText& text) {
    return NarrowToUtf8(WidenAnsi(text.bytes));
}

bool User32WindowFunctions::SendChar(WindowHandle window, std::uint32_t character) {
    return Send(window, WM_CHAR, character, 0);
}

bool User32WindowFunctions::LeftButtonDown(WindowHandle window) {
    return Send(window, WM_LBUTTONDOWN, 0, 0);
}

bool User32WindowFunctions::LeftButtonUp(WindowHandle window) {
    return Send(window, WM_LBUTTONUP, 0, 0);
}

bool User32WindowFunctions::KeyUp(WindowHandle window, std::uint32_t virtual_key) {
    return Send(window, WM_KEYUP, virtual_key, 0);
}

std::optional<NativeText> User32WindowFunctions::ReadText(WindowHandle window,
                                                          std::size_t longest) {
    if (!lullcast::IsWindow(window)) {
        return NativeText{};
    }
    DWORD_PTR length = 0;
    if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) {
        return std::nullopt;
    }
    // The length may be more than the text (a control in a DBCS code page
    // counts bytes); the copy says how much there is.
    std::wstring buffer(std::min<std::size_t>(length, longest) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!Send(window, WM_GETTEXT, buffer.size(), BufferParameter(buffer.data()), &copied)) {
        return std::nullopt;
    }
    buffer.resize(std::min<std::size_t>(copied, buffer.size() - 1));
    std::string text = NarrowToAnsi(buffer);
    text.resize(std::min(text.size(), longest));
    return NativeText{std::move(text)};
}

bool User32WindowFunctions::SetNativeText(WindowHandle window, const NativeText& text) {
    // WM_SETTEXT carries a zero-terminated string: nothing after a NUL arrives.
    const std::wstring carried = WidenAnsi(text.bytes.substr(0, text.bytes.find('\0')));
    return Send(window, WM_SETTEXT, 0, BufferParameter(carried.c_str()));
}

bool User32WindowFunctions::SetSelection(WindowHandle window, std::int32_t start,
                                         std::int32_t end) {
    return Send(window, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

std::optional<std::int32_t> User32WindowFunctions::LineCount(WindowHandle window) {
    DWORD_PTR count = 0;
    if (!Send(window, EM_GETLINECOUNT, 0, 0, &count)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(count);
}

std::optional<std::int32_t> User32WindowFunctions::LineStart(WindowHandle window,
                                                             std::uint32_t line) {
    DWORD_PTR start = 0;
    if (!Send(window, EM_LINEINDEX, line, 0, &start)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(start);
}

std::optional<NativeText> User32WindowFunctions::ReadLine(WindowHandle window, std::uint32_t line,
                                                          std::size_t longest) {
    // The buffer's first word says its size in characters, so it holds one
    // at least.
    constexpr std::size_t kMostInAWord = 0xFFFF;
    std::wstring buffer(std::clamp<std::size_t>(longest, 1, kMostInAWord), L'\0');
    buffer[0] = static_cast<wchar_t>(buffer.size());
    DWORD_PTR copied = 0;
    if (!Send(window, EM_GETLINE, line, BufferParameter(buffer.data()), &copied)) {
        return std::nullopt;
    }
    buffer.resize(std::min<std::size_t>(copied, longest));
    return NativeText{NarrowToAnsi(buffer)};
}

}  // namespace lullcast::quill_aol8
