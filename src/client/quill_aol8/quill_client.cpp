#include "client/quill_aol8/quill_client.h"

#include <utility>

#include "client/quill_aol8/actions.h"

namespace lullcast::quill_aol8 {

// The draft goes back before the next line reads the input, so that the next
// line keeps it too.
void QuillClient::SendChatLine(std::string_view line) {
    CatchUp();
    if (std::optional<InterruptedLine> interrupted =
            quill_aol8::SendChatLine(windows_, loop_, line)) {
        interrupted_ = std::move(interrupted);
    }
}

void QuillClient::CatchUp() {
    if (interrupted_ && SettleInterruptedLine(windows_, *interrupted_)) {
        interrupted_.reset();
    }
}

void QuillClient::SendInstantMessage(std::string_view recipient, std::string_view text) {
    quill_aol8::SendInstantMessage(windows_, loop_, recipient, text);
}

std::optional<ClientOperations::Transcript> QuillClient::ReadFrontTranscript() {
    return quill_aol8::ReadFrontTranscript(windows_, loop_);
}

void QuillClient::ClickFrontChildIcon(int position) {
    quill_aol8::ClickFrontChildIcon(windows_, position);
}

}  // namespace lullcast::quill_aol8
