#pragma once

#include <windows.h>

#include <optional>

#include "core/event_loop.h"

namespace lullcast {

// The user-interface thread's message queue as the program's event loop.
// Waiting sleeps in MsgWaitForMultipleObjectsEx until a message arrives or the
// deadline passes: no spinning.
class Win32EventLoop final : public EventLoop {
  public:
    Win32EventLoop();

    [[nodiscard]] MonoTime Now() const override;
    void ProcessPendingEvents() override;
    void WaitForEventOrDeadline(MonoTime deadline) override;

    // The window whose controls take keyboard navigation (Tab, Space, Enter),
    // as in a dialog. May be null.
    void SetKeyboardWindow(HWND window) { keyboard_window_ = window; }

    // Runs the program's main loop until WM_QUIT; returns its exit code.
    int Run();

  private:
    void Dispatch(MSG& message);

    LARGE_INTEGER frequency_{};
    HWND keyboard_window_ = nullptr;
    std::optional<int> quit_code_;
};

}  // namespace lullcast
