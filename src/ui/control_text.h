#pragma once

#include <windows.h>

#include <string>

namespace lullcast {

// The whole text of a control of this program, however long.
[[nodiscard]] inline std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

}  // namespace lullcast
