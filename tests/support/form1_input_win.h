#pragma once
// For tests that drive the main window from outside: controls, real input.
#include <windows.h>

#include "ui/resource_ids.h"

namespace lullcast::testing {

// A control of the main window, also one on its title strip.
inline HWND ControlOf(HWND main, int id) {
    const HWND direct = GetDlgItem(main, id);
    return direct != nullptr ? direct : GetDlgItem(GetDlgItem(main, IDC_PICTURE1), id);
}

// Mouse input that moves the pointer to `at` on the screen, with `flags`.
inline INPUT MouseInputAt(POINT at, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

}  // namespace lullcast::testing
