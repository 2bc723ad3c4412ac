#include <windows.h>

#include <algorithm>
#include <chrono>

#include "win32_test_event_loop.h"

namespace lullcast {

Win32TestEventLoop::Win32TestEventLoop() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    counter_frequency_ = frequency.QuadPart;
}

MonoTime Win32TestEventLoop::Now() const {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    // Split so that the multiplication cannot overflow on a long uptime.
    constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
    const std::int64_t seconds = counter.QuadPart / counter_frequency_;
    const std::int64_t rest = counter.QuadPart % counter_frequency_;
    return MonoTime{seconds * kNanosecondsPerSecond +
                    rest * kNanosecondsPerSecond / counter_frequency_};
}

void Win32TestEventLoop::ProcessPendingEvents() {
    ++process_count_;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Win32TestEventLoop::WaitForEventOrDeadline(MonoTime deadline) {
    using std::chrono::ceil;
    using std::chrono::milliseconds;
    const auto remaining = std::max(ceil<milliseconds>(deadline - Now()), milliseconds{0});
    // MWMO_INPUTAVAILABLE: wake for messages already queued, not only new ones.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(remaining.count()), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

}  // namespace lullcast
