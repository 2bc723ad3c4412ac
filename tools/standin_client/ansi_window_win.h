#pragma once

#include <windows.h>

namespace lullcast::standin {

// A window whose messages go to a C++ object, with the `this` pointer passed
// as the creation parameter and kept in the window's user data.
//
// The windows are ANSI windows (registered and created with the A functions):
// the client's controls receive their text from SendMessageA in the ANSI code
// page, and an ANSI window procedure gets those bytes back as they were sent
// instead of a UTF-16 conversion of them.
class AnsiWindow {
  public:
    AnsiWindow(const AnsiWindow&) = delete;
    AnsiWindow& operator=(const AnsiWindow&) = delete;
    AnsiWindow(AnsiWindow&&) = delete;
    AnsiWindow& operator=(AnsiWindow&&) = delete;

    [[nodiscard]] HWND Handle() const { return window_; }

  protected:
    // Which default procedure answers the messages that arrive before the
    // object is known (an MDI child gets WM_GETMINMAXINFO before WM_NCCREATE)
    // and after it has let go of the window.
    enum class Kind { kPlain, kMdiChild };

    AnsiWindow() = default;
    ~AnsiWindow();

    static bool RegisterClassOnce(const char* class_name, Kind kind, HBRUSH background);

    HWND Create(const char* class_name, const char* text, DWORD style, RECT bounds, HWND parent);
    // A document window of the system's MDI client area `mdi_client`; the MDI
    // client activates it and puts it in front of its siblings.
    HWND CreateMdiChild(HWND mdi_client, const char* class_name, const char* title, RECT bounds);

    // Lets go of the window and destroys it, so that no message reaches the
    // object while it is being torn down. A window class whose object owns
    // other windows' objects calls it first thing in its destructor.
    void DestroyWindowNow();

    virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    virtual LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam);

  private:
    static LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK MdiChildProcedure(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam);
    static AnsiWindow* ObjectOf(HWND window, UINT message, LPARAM lparam);
    static LRESULT Route(AnsiWindow& self, UINT message, WPARAM wparam, LPARAM lparam);

    HWND window_ = nullptr;
};

// A window that paints all of itself in OnPaint: it needs no background
// erase, which would only flicker.
class PaintedWindow : public AnsiWindow {
  protected:
    PaintedWindow() = default;
    ~PaintedWindow() = default;

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    virtual LRESULT OnPaint() = 0;
};

}  // namespace lullcast::standin
