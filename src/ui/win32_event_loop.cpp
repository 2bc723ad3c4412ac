#include "ui/win32_event_loop.h"

#include <algorithm>
#include <chrono>

namespace lullcast {

Win32EventLoop::Win32EventLoop() { QueryPerformanceFrequency(&frequency_); }

MonoTime Win32EventLoop::Now() const {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    // Split before scaling so that the product cannot overflow.
    const auto ticks = counter.QuadPart;
    const auto per_second = frequency_.QuadPart;
    const auto seconds = ticks / per_second;
    const auto remainder = ticks % per_second;
    return std::chrono::seconds(seconds) + MonoTime(remainder * std::nano::den / per_second);
}

void Win32EventLoop::Dispatch(MSG& message) {
    if (keyboard_window_ != nullptr && IsDialogMessageW(keyboard_window_, &message) != FALSE) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32EventLoop::ProcessPendingEvents() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            // Keep it for the main loop, which ends the program once the
            // flow that is waiting here has returned.
            quit_code_ = static_cast<int>(message.wParam);
            continue;
        }
        Dispatch(message);
    }
}

void Win32EventLoop::WaitForEventOrDeadline(MonoTime deadline) {
    const MonoTime remaining = deadline - Now();
    if (remaining <= MonoTime::zero()) {
        return;
    }
    // Round up, so that the wait never ends before the deadline and then
    // comes back for a zero-length wait.
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
    const DWORD timeout = static_cast<DWORD>(std::min<long long>(milliseconds, INFINITE - 1));
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

int Win32EventLoop::Run() {
    MSG message{};
    while (!quit_code_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            return got == 0 ? static_cast<int>(message.wParam) : 1;
        }
        Dispatch(message);
    }
    return *quit_code_;
}

}  // namespace lullcast
