#include "client/quill_aol8/quill_client.h"

#include "client/quill_aol8/actions.h"

namespace lullcast::quill_aol8 {

void QuillClient::SendChatLine(std::string_view line) {
    quill_aol8::SendChatLine(windows_, loop_, line);
}

void QuillClient::SendInstantMessage(std::string_view recipient, std::string_view text) {
    quill_aol8::SendInstantMessage(windows_, loop_, recipient, text);
}

void QuillClient::ClickFrontChildIcon(int position) {
    quill_aol8::ClickFrontChildIcon(windows_, position);
}

}  // namespace lullcast::quill_aol8
