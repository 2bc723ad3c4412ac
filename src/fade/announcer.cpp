#include "fade/announcer.h"

#include "core/client_operations.h"
#include "fade/fade_detail.h"

namespace lullcast {

std::string ComposeChatLine(Colour start_colour, Colour end_colour, std::string_view text) {
    return detail::PrefixedFadeText(kChatFontPrefix, start_colour, end_colour, text, false);
}

void Announce(ClientOperations& client, Colour start_colour, Colour end_colour,
              std::string_view text) {
    client.SendChatLine(ComposeChatLine(start_colour, end_colour, text));
}

}  // namespace lullcast
