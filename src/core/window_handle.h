#pragma once

#include <cstdint>

namespace lullcast {

// An opaque 32-bit identifier of a window of the platform. The value 0 means
// "no window"; a message sent to it has no effect.
enum class WindowHandle : std::uint32_t { kNone = 0 };

constexpr bool IsWindow(WindowHandle handle) { return handle != WindowHandle::kNone; }

}  // namespace lullcast
