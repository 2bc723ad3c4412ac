#pragma once

#include <windows.h>

namespace lullcast {

// A window whose messages go to a C++ object. The object passes `this` as the
// creation parameter; the window procedure keeps it in the window's user data
// and hands every message to HandleMessage. The object must outlive its window.
class WindowBase {
  public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    WindowBase(WindowBase&&) = delete;
    WindowBase& operator=(WindowBase&&) = delete;

    [[nodiscard]] HWND Handle() const { return window_; }

  protected:
    WindowBase() = default;
    ~WindowBase() = default;

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

}  // namespace lullcast
