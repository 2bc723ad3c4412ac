#pragma once

#include <optional>
#include <string_view>

#include "client/quill_aol8/actions.h"
#include "client/quill_aol8/window_functions.h"
#include "core/client_operations.h"
#include "core/event_loop.h"

namespace lullcast::quill_aol8 {

// The client operations carried out on the AOL 7.0/8.0 client through its
// windows. Every call finds the windows anew. The one thing it holds between
// calls is a chat line that the client stopped answering part-way through,
// until the user's draft is back in that line's input.
class QuillClient final : public ClientOperations {
  public:
    QuillClient(WindowFunctions& windows, EventLoop& loop) : windows_(windows), loop_(loop) {}

    void SendChatLine(std::string_view line) override;
    void SendInstantMessage(std::string_view recipient, std::string_view text) override;
    void ClickFrontChildIcon(int position) override;
    void CatchUp() override;
    [[nodiscard]] std::optional<Transcript> ReadFrontTranscript() override;

  private:
    WindowFunctions& windows_;
    EventLoop& loop_;
    std::optional<InterruptedLine> interrupted_;
};

}  // namespace lullcast::quill_aol8
