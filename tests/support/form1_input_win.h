#pragma once
// For the tests that drive Lull-Cast's main window from outside its code: its
// controls by ID, and real mouse input.

#include <windows.h>

#include "ui/resource_ids.h"

namespace lullcast::testing {

// A control of the main window, also one on its title strip.
inline HWND ControlOf(HWND main_window, int control_id) {
    const HWND direct = GetDlgItem(main_window, control_id);
    return direct != nullptr ? direct
                             : GetDlgItem(GetDlgItem(main_window, IDC_PICTURE1), control_id);
}

// Mouse input that moves the pointer to `screen_point`, with `flags` besides.
inline INPUT MouseInputAt(POINT screen_point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen_point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen_point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

}  // namespace lullcast::testing
