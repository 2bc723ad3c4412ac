#include "fade/announcer.h"

#include "core/client_operations.h"
#include "fade/fade.h"

namespace lullcast {

std::string ComposeChatLine(Colour start_colour, Colour end_colour, std::string_view text) {
    std::string line(kChatFontPrefix);
    line += FadeText(start_colour, end_colour, text, false);
    return line;
}

void Announce(ClientOperations& client, Colour start_colour, Colour end_colour,
              std::string_view text) {
    client.SendChatLine(ComposeChatLine(start_colour, end_colour, text));
}

}  // namespace lullcast
