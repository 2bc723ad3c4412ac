#include "ui/desktop_last_input_clock.h"

#include <windows.h>

namespace lullcast {

std::uint32_t DesktopLastInputClock::MillisecondsSinceLastInput() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (GetLastInputInfo(&info) == FALSE) {
        return 0;  // unknown: taken as input just now, so nothing goes away
    }
    // Both counts are the 32-bit tick count, which wraps after 49.7 days; the
    // unsigned difference stays right across the wrap.
    return static_cast<std::uint32_t>(GetTickCount() - info.dwTime);
}

}  // namespace lullcast
