#pragma once

#include <cstdint>
#include <string_view>

#include "core/window_handle.h"

namespace lullcast::quill_aol8 {

// The few window functions of the platform that reaching the chat client
// takes: lookups by class and the messages that imitate the user. Class names
// match without regard to case. A handle of 0, or of a window that has gone,
// finds nothing and receives nothing. Text is UTF-8; an implementation that
// talks to real windows converts it on the way.
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
    virtual void SetText(WindowHandle window, std::string_view text) = 0;
    // WM_CHAR with the character code in wParam.
    virtual void SendChar(WindowHandle window, std::uint32_t character) = 0;
    // WM_LBUTTONDOWN and WM_LBUTTONUP at point (0, 0), no key flags.
    virtual void LeftButtonDown(WindowHandle window) = 0;
    virtual void LeftButtonUp(WindowHandle window) = 0;
    // WM_KEYUP with the virtual-key code in wParam.
    virtual void KeyUp(WindowHandle window, std::uint32_t virtual_key) = 0;

  protected:
    WindowFunctions() = default;
    WindowFunctions(const WindowFunctions&) = default;
    WindowFunctions& operator=(const WindowFunctions&) = default;
    WindowFunctions(WindowFunctions&&) = default;
    WindowFunctions& operator=(WindowFunctions&&) = default;
};

}  // namespace lullcast::quill_aol8
