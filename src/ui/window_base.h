#pragma once

#include <windows.h>

namespace lullcast {

// The resolution that the windows' sizes are given at: 100 % scaling. The
// system headers name it only for Vista and later.
inline constexpr int kDesignDpi = 96;

// A window whose messages go to a C++ object. The object passes `this` as the
// creation parameter; the window procedure keeps it in the window's user data
// and hands every message to HandleMessage. The object must outlive its window.
class WindowBase {
  public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    WindowBase(WindowBase&&) = delete;
    WindowBase& operator=(WindowBase&&) = delete;
    // Virtual: every kind of window has a message handler of its own.
    virtual ~WindowBase() = default;

    [[nodiscard]] HWND Handle() const { return window_; }

  protected:
    WindowBase() = default;

    // Registers a window class of this kind once per process; later calls
    // find it registered.
    static bool RegisterClassOnce(const wchar_t* class_name, HCURSOR cursor, HBRUSH background);

    // Creates the window; its messages reach HandleMessage from WM_NCCREATE on.
    HWND CreateFor(DWORD ex_style, const wchar_t* class_name, const wchar_t* text, DWORD style,
                   RECT bounds, HWND parent, int control_id);

    virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam);

    HWND window_ = nullptr;
};

// A window that paints itself whole: no background erase (no flicker), and
// the same painting for the screen (WM_PAINT) and for a caller's device
// context (WM_PRINTCLIENT, which see-through children use).
class SelfPaintedWindow : public WindowBase {
  protected:
    SelfPaintedWindow() = default;
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    virtual void Paint(HDC dc) const = 0;
};

// A window of `width` by `height` pixels in the middle of the desktop's work
// area (the screen less the taskbar).
[[nodiscard]] RECT CentredInWorkArea(int width, int height);

// A press of any mouse button, in a window's client area.
[[nodiscard]] constexpr bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN;
}

// What a window procedure returns for a handled button press (WM_XBUTTONDOWN
// wants TRUE, the others 0).
[[nodiscard]] constexpr LRESULT ButtonDownHandled(UINT message) {
    return message == WM_XBUTTONDOWN ? TRUE : 0;
}

}  // namespace lullcast
