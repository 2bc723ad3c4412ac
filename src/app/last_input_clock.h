#pragma once

#include <cstdint>

namespace lullcast {

// How long the desktop has gone without keyboard or mouse input.
class LastInputClock {
  public:
    virtual ~LastInputClock() = default;

    // Milliseconds since the last keyboard or mouse input to the desktop.
    [[nodiscard]] virtual std::uint32_t MillisecondsSinceLastInput() = 0;

  protected:
    LastInputClock() = default;
    LastInputClock(const LastInputClock&) = default;
    LastInputClock& operator=(const LastInputClock&) = default;
    LastInputClock(LastInputClock&&) = default;
    LastInputClock& operator=(LastInputClock&&) = default;
};

}  // namespace lullcast
