#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/window_handle.h"

namespace lullcast {

// Everything the program needs of the chat client. None of the operations
// reports a failure: with the client, its chat room or its icons absent they
// simply have no effect, and the caller carries on.
class ClientOperations {
  public:
    // What a chat room's transcript shows, one line per line: the room (its
    // transcript's window) and the text, UTF-8.
    struct Transcript {
        WindowHandle room = WindowHandle::kNone;
        std::string text;
        // The text is the transcript's head, and the transcript goes on: lines
        // added to its end are not in it.
        bool end_unread = false;
    };

    virtual ~ClientOperations() = default;

    // Puts the finished chat line into the front-most chat room's input and
    // sends it as if the user pressed Enter. Text is UTF-8.
    virtual void SendChatLine(std::string_view line) = 0;

    // Opens an instant-message window from the client's toolbar, fills in the
    // recipient and the text and sends it.
    virtual void SendInstantMessage(std::string_view recipient, std::string_view text) = 0;

    // Clicks the icon at the 1-based `position` among the icons of the
    // client's front-most document window.
    virtual void ClickFrontChildIcon(int position) = 0;

    // Finishes what an operation that the client left unanswered still owes
    // the user, once the client answers again; called about once a second.
    // Costs nothing when nothing is owed.
    virtual void CatchUp() {}

    // The front-most chat room's transcript, read with a bound on the wait and
    // on the bytes copied: its last lines where the control answers the edit
    // control's line messages, else its first whole lines within the bound.
    // Nothing when no chat room is open or the client did not answer in time.
    // Only the away log reads it.
    [[nodiscard]] virtual std::optional<Transcript> ReadFrontTranscript() { return std::nullopt; }

  protected:
    ClientOperations() = default;
    ClientOperations(const ClientOperations&) = default;
    ClientOperations& operator=(const ClientOperations&) = default;
    ClientOperations(ClientOperations&&) = default;
    ClientOperations& operator=(ClientOperations&&) = default;
};

}  // namespace lullcast
