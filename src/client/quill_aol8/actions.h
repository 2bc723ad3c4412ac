#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "client/quill_aol8/locator.h"
#include "client/quill_aol8/window_functions.h"
#include "core/client_operations.h"
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
// How often SendInstantMessage presses the toolbar icon and looks for the
// instant-message window before it gives up: with the pause after each press,
// about six seconds.
inline constexpr int kImWindowAttempts = 20;
// The most that SendChatLine keeps of what the user has typed into the chat
// input, far more than a chat input holds. With more in it, the line is not
// sent: the user's text is never cut.
inline constexpr std::size_t kLongestDraft = std::size_t{64} * 1024;

// The messages of one client operation. Once the client has left one of them
// unanswered, the rest are not sent: a line goes out whole or not at all, and
// nothing queues up behind a client that has stopped answering.
class OperationMessages {
  public:
    explicit OperationMessages(WindowFunctions& windows) : windows_(windows) {}

    [[nodiscard]] bool AllAnswered() const { return all_answered_; }

    void SetText(WindowHandle window, std::string_view text);
    void SetNativeText(WindowHandle window, const NativeText& text);
    void SendChar(WindowHandle window, std::uint32_t character);
    void LeftButtonDown(WindowHandle window);
    void LeftButtonUp(WindowHandle window);
    void KeyUp(WindowHandle window, std::uint32_t virtual_key);

  private:
    template <typename Message>
    void SendIfAllAnswered(const Message& message) {
        all_answered_ = all_answered_ && message();
    }

    WindowFunctions& windows_;
    bool all_answered_ = true;
};

// None of the actions checks a handle: a message to 0 or to a window that has
// gone has no effect, and the action completes normally.

// Clears the window's text, then sets it to `text`.
void ReplaceText(OperationMessages& messages, WindowHandle window, std::string_view text);
void ReplaceText(OperationMessages& messages, WindowHandle window, const NativeText& text);
// The client's press: left button down, then Space key up (no button up).
void PressIcon(OperationMessages& messages, WindowHandle window);
// A plain click: left button down, then left button up.
void ClickIcon(OperationMessages& messages, WindowHandle window);

// A chat line that the client stopped answering part-way through, once the
// input had begun to change: the input, the line, and what the user had typed
// there and not sent.
struct InterruptedLine {
    WindowHandle input = WindowHandle::kNone;
    NativeText line;
    NativeText draft;
};

// Writes `text` into the front-most chat room's input and sends it with Enter.
// Whatever the user had typed into the input and not sent yet is put back
// afterwards, with the caret at its end. Gives the line back when the client
// stopped answering after the input had begun to change, so that the draft
// can be put back once it answers again.
[[nodiscard]] std::optional<InterruptedLine> SendChatLine(WindowFunctions& windows, EventLoop& loop,
                                                          std::string_view text);

// Leaves the input of an interrupted line as the user had it, once the client
// answers again: an input that the line left empty, or that still holds the
// unsent line, gets the draft back; anything else (the draft itself, or what
// the user has typed since) stays. False while the input does not answer.
[[nodiscard]] bool SettleInterruptedLine(WindowFunctions& windows,
                                         const InterruptedLine& interrupted);

// Opens an instant-message window from the toolbar, fills in the recipient and
// the text, and sends it. Each attempt presses the toolbar icon once, pauses
// and looks for the front-most window that is built whole; after
// kImWindowAttempts misses it gives up and sends nothing. The event loop runs
// throughout the wait.
void SendInstantMessage(WindowFunctions& windows, EventLoop& loop, std::string_view recipient,
                        std::string_view text);

// The most of a transcript that one read copies from its head, where the
// control does not answer the line messages. A room keeps some hundred lines
// of under a hundred bytes, a few tens of kilobytes; the bound keeps what one
// read costs small also with a client that keeps far more.
inline constexpr std::size_t kLongestTranscript = std::size_t{256} * 1024;

// What one read copies from a transcript that answers the line messages: its
// last lines as it shows them, and the most characters of each. The away log
// reads once a second and needs only the lines added since, a few even in a
// busy room; the read costs the same whatever the transcript holds, at most
// 2 * kTailLines + 1 messages. A longer line is read up to the bound, and as
// ended there.
inline constexpr std::size_t kTailLines = 100;
inline constexpr std::size_t kLongestTailLine = 4096;

// The front-most chat room's transcript (its first "richcntlreadonly" child).
// Where the control answers the line messages (EM_GETLINECOUNT, EM_LINEINDEX,
// EM_GETLINE), its last kTailLines lines as it shows them, joined where it
// wrapped them, from the first whole line among them. Otherwise its text
// (WM_GETTEXT), at most `longest` bytes, cut back to its last whole line and
// marked when the transcript goes on. Nothing when no chat room is open or
// the client did not answer in time.
[[nodiscard]] std::optional<ClientOperations::Transcript> ReadFrontTranscript(
    WindowFunctions& windows, EventLoop& loop, std::size_t longest = kLongestTranscript);

// Clicks the icon at the 1-based `position` of the front-most document window.
void ClickFrontChildIcon(WindowFunctions& windows, int position);

}  // namespace lullcast::quill_aol8
