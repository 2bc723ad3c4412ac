#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/window_handle.h"

namespace lullcast::quill_aol8 {

// A control's text as the control holds it (on Windows, 8-bit text in the
// system's ANSI code page), kept byte for byte: text read from the user's
// input goes back exactly as it was, with no round trip through another
// encoding.
struct NativeText {
    std::string bytes;

    friend bool operator==(const NativeText&, const NativeText&) = default;
};

// The few window functions of the platform that reaching the chat client
// takes: lookups by class and the messages that imitate the user. Class names
// match without regard to case. A handle of 0, or of a window that has gone,
// finds nothing and receives nothing. Text is UTF-8; an implementation that
// talks to real windows converts it on the way.
//
// The client is another program, and its window thread may stop answering
// for a while. No message waits for it beyond a short bound: each message
// returns false when the window did not answer in time (the window may still
// take the message later, once it answers again, in the order sent), and
// true when it answered or there was no window to send it to.
class WindowFunctions {
  public:
    virtual ~WindowFunctions() = default;

    // The first top-level window of the class, topmost first.
    [[nodiscard]] virtual WindowHandle FindTopLevel(std::string_view class_name) = 0;

    // The first direct child of `parent` of the class that comes after `after`
    // in z-order; after 0 the search starts at the first child. A parent of 0
    // stands for the desktop, so its children are the top-level windows.
    [[nodiscard]] virtual WindowHandle FindChild(WindowHandle parent, WindowHandle after,
                                                 std::string_view class_name) = 0;

    // The topmost of the window's siblings (the window itself included), and
    // the sibling just below it.
    [[nodiscard]] virtual WindowHandle FirstSibling(WindowHandle window) = 0;
    [[nodiscard]] virtual WindowHandle NextSibling(WindowHandle window) = 0;

    // WM_SETTEXT.
    virtual bool SetText(WindowHandle window, std::string_view text) = 0;
    // WM_CHAR with the character code in wParam.
    virtual bool SendChar(WindowHandle window, std::uint32_t character) = 0;
    // WM_LBUTTONDOWN and WM_LBUTTONUP at point (0, 0), no key flags.
    virtual bool LeftButtonDown(WindowHandle window) = 0;
    virtual bool LeftButtonUp(WindowHandle window) = 0;
    // WM_KEYUP with the virtual-key code in wParam.
    virtual bool KeyUp(WindowHandle window, std::uint32_t virtual_key) = 0;

    // WM_GETTEXTLENGTH, then WM_GETTEXT: the window's text, or its first
    // `longest` bytes when it holds more. Nothing when the window did not
    // answer; the empty text when there is no window.
    [[nodiscard]] virtual std::optional<NativeText> ReadText(WindowHandle window,
                                                             std::size_t longest) = 0;
    // WM_SETTEXT with text in the controls' own encoding, unconverted.
    virtual bool SetNativeText(WindowHandle window, const NativeText& text) = 0;
    // UTF-8 text as SetText hands it to a control.
    [[nodiscard]] virtual NativeText ToNative(std::string_view text) = 0;
    // A control's text as UTF-8; the window tree's text is UTF-8 already.
    [[nodiscard]] virtual std::string FromNative(const NativeText& text) { return text.bytes; }
    // EM_SETSEL: the selection from `start` to `end`; equal, they place the
    // caret. A control that is no edit control takes no notice.
    virtual bool SetSelection(WindowHandle window, std::int32_t start, std::int32_t end) = 0;

    // The line messages of an edit control, which the system carries across
    // processes. Lines are as the control shows them: one it wraps is several.
    // Each gives nothing when the window did not answer. A window that is no
    // edit control answers them with 0 and copies nothing, as does no window.
    //
    // EM_GETLINECOUNT: how many lines the control shows (1 when empty).
    [[nodiscard]] virtual std::optional<std::int32_t> LineCount(WindowHandle window) = 0;
    // EM_LINEINDEX: the index of the first character of `line`; -1 beyond the last.
    [[nodiscard]] virtual std::optional<std::int32_t> LineStart(WindowHandle window,
                                                                std::uint32_t line) = 0;
    // EM_GETLINE: the characters of `line`, at most `longest` of them (at most
    // 65,535: the control reads the buffer's size from its first word).
    [[nodiscard]] virtual std::optional<NativeText> ReadLine(WindowHandle window,
                                                             std::uint32_t line,
                                                             std::size_t longest) = 0;

  protected:
    WindowFunctions() = default;
    WindowFunctions(const WindowFunctions&) = default;
    WindowFunctions& operator=(const WindowFunctions&) = default;
    WindowFunctions(WindowFunctions&&) = default;
    WindowFunctions& operator=(WindowFunctions&&) = default;
};

}  // namespace lullcast::quill_aol8
