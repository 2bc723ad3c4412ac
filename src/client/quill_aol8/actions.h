#pragma once

#include <cstdint>
#include <string_view>

#include "client/quill_aol8/window_functions.h"
#include "core/window_handle.h"

namespace lullcast {
class EventLoop;
}

namespace lullcast::quill_aol8 {

// The character that makes the chat input send its contents.
inline constexpr std::uint32_t kEnterCharacter = 13;
// VK_SPACE: the key-up that completes a press of a client icon.
inline constexpr std::uint32_t kSpaceKey = 0x20;
// The toolbar icon that opens an instant-message window (0-based).
inline constexpr std::int16_t kOpenImIconIndex = 4;
// The send icon among an instant-message window's icons (1-based).
inline constexpr int kImSendIconPosition = 12;
// How often SendInstantMessage presses the toolbar icon and looks for the
// instant-message window before it gives up: with the pause after each press,
// about six seconds.
inline constexpr int kImWindowAttempts = 20;

// None of the actions checks a handle: a message to 0 or to a window that has
// gone has no effect, and the action completes normally.

// Clears the window's text, then sets it to `text`.
void ReplaceText(WindowFunctions& windows, WindowHandle window, std::string_view text);
// The client's press: left button down, then Space key up (no button up).
void PressIcon(WindowFunctions& windows, WindowHandle window);
// A plain click: left button down, then left button up.
void ClickIcon(WindowFunctions& windows, WindowHandle window);

// Writes `text` into the front-most chat room's input and sends it with Enter.
void SendChatLine(WindowFunctions& windows, EventLoop& loop, std::string_view text);

// Opens an instant-message window from the toolbar, fills in the recipient and
// the text, and sends it. Each attempt presses the toolbar icon once, pauses
// and looks for the window, which counts only once it has its twelfth icon,
// its recipient field and its text; after kImWindowAttempts misses it gives
// up and sends nothing. The event loop runs throughout the wait.
void SendInstantMessage(WindowFunctions& windows, EventLoop& loop, std::string_view recipient,
                        std::string_view text);

// Clicks the icon at the 1-based `position` of the front-most document window.
void ClickFrontChildIcon(WindowFunctions& windows, int position);

}  // namespace lullcast::quill_aol8
