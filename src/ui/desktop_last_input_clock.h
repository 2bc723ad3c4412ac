#pragma once

#include <cstdint>

#include "app/last_input_clock.h"

namespace lullcast {

// The desktop's idle time as Windows keeps it (GetLastInputInfo): the last
// keyboard or mouse input of any program, not only of this one.
class DesktopLastInputClock final : public LastInputClock {
  public:
    [[nodiscard]] std::uint32_t MillisecondsSinceLastInput() override;
};

}  // namespace lullcast
