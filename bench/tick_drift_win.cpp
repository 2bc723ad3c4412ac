// Measures how well the main window's one-second tick keeps time. It starts an
// idle period in the real window, notes when each tick refreshes the elapsed-
// time display, and prints how far the ticks drift from whole seconds after
// Start. Usage: tick_drift [ticks] (default 600, ten minutes).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string_view>
#include <vector>

#include "core/client_operations.h"
#include "core/pause.h"
#include "settings/handle_store.h"
#include "ui/form1_window.h"
#include "ui/resource_ids.h"
#include "ui/win32_event_loop.h"

namespace {

using lullcast::MonoTime;

class SilentClient final : public lullcast::ClientOperations {
  public:
    void SendChatLine(std::string_view /*line*/) override {}
    void SendInstantMessage(std::string_view /*recipient*/, std::string_view /*text*/) override {}
    void ClickFrontChildIcon(int /*position*/) override {}
};

// The display's window procedure, wrapped to note the time of every change.
WNDPROC display_procedure = nullptr;
const lullcast::Win32EventLoop* clock_source = nullptr;
std::vector<MonoTime> display_changes;

LRESULT CALLBACK NoteDisplayChange(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETTEXT) display_changes.push_back(clock_source->Now());
    return CallWindowProcW(display_procedure, window, message, wparam, lparam);
}

// Accepts the reason prompt as soon as it shows.
void CALLBACK AcceptReasonPrompt(HWND /*window*/, UINT /*message*/, UINT_PTR timer,
                                 DWORD /*time*/) {
    const HWND prompt = FindWindowW(L"#32770", L"Lull-Cast 2k3");
    if (prompt == nullptr) return;
    KillTimer(nullptr, timer);
    PostMessageW(prompt, WM_COMMAND, IDOK, 0);
}

double Milliseconds(MonoTime duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double CpuSeconds() {
    FILETIME created{};
    FILETIME ended{};
    FILETIME kernel{};
    FILETIME user{};
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto to_seconds = [](FILETIME time) {
        const ULONGLONG hundreds_of_ns =
            (static_cast<ULONGLONG>(time.dwHighDateTime) << 32U) | time.dwLowDateTime;
        return static_cast<double>(hundreds_of_ns) / 1e7;
    };
    return to_seconds(kernel) + to_seconds(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int ticks = argc > 1 ? std::max(2, _wtoi(argv[1])) : 600;
    lullcast::Win32EventLoop loop;
    clock_source = &loop;
    SilentClient client;
    lullcast::NoHandleStore handle_store;
    lullcast::Form1Window window(client, handle_store, loop);
    if (!window.Create()) return 1;
    window.Load();
    const HWND display = GetDlgItem(GetDlgItem(window.Handle(), IDC_PICTURE1), IDC_TIMED);
    display_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(display, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteDisplayChange)));

    SetTimer(nullptr, 0, 10, &AcceptReasonPrompt);
    const double cpu_before = CpuSeconds();
    const MonoTime start = loop.Now();
    SendMessageW(GetDlgItem(window.Handle(), IDC_SSCOMMAND1), BM_CLICK, 0, 0);
    while (display_changes.size() < static_cast<std::size_t>(ticks)) lullcast::Pause(loop, 0.25);
    const MonoTime end = loop.Now();
    const double cpu_used = CpuSeconds() - cpu_before;

    // Each tick is due a whole number of seconds after the tick was switched
    // on, a moment just after `start` (Start's prompt comes first).
    double worst = 0;
    int worst_tick = 0;
    double sum = 0;
    const MonoTime first = display_changes.front();
    for (int tick = 1; tick <= ticks; ++tick) {
        const MonoTime ideal = first + std::chrono::seconds(tick - 1);
        const double late =
            Milliseconds(display_changes[static_cast<std::size_t>(tick - 1)] - ideal);
        sum += late;
        if (late > worst) {
            worst = late;
            worst_tick = tick;
        }
    }
    const MonoTime span = display_changes.back() - first;
    std::printf("ticks measured:                %d\n", ticks);
    std::printf("first tick after Start:        %.1f ms\n", Milliseconds(first - start));
    std::printf("ticks 1 to %d took:           %.4f s (whole seconds: %d)\n", ticks,
                Milliseconds(span) / 1000.0, ticks - 1);
    std::printf("drift over the run:            %+.2f ms\n",
                Milliseconds(span - std::chrono::seconds(ticks - 1)));
    std::printf("lateness against tick 1 + n s: mean %.2f ms, worst %.2f ms (tick %d)\n",
                sum / ticks, worst, worst_tick);
    std::printf("CPU time:                      %.3f s of %.1f s (%.3f%%)\n", cpu_used,
                Milliseconds(end - start) / 1000.0,
                100.0 * cpu_used / (Milliseconds(end - start) / 1000.0));
    return 0;
}
