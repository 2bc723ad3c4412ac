#include "fade/announcer.h"

#include <array>

#include "core/client_operations.h"
#include "fade/fade_detail.h"

namespace lullcast {

std::string ComposeChatLine(Colour start_colour, Colour end_colour, std::string_view text) {
    const std::array<Colour, 2> colours = {start_colour, end_colour};
    return ComposeChatLine(LineLook{.colours = colours}, text);
}

std::string ComposeChatLine(const LineLook& look, std::string_view text) {
    if (look.face == kChatFontFace) {
        return detail::PrefixedFadeText(kChatFontPrefix, look.colours, text, look.wavy);
    }
    std::string prefix = R"(<font face=")";
    prefix.append(look.face).append(R"(">)");
    return detail::PrefixedFadeText(prefix, look.colours, text, look.wavy);
}

void Announce(ClientOperations& client, const LineLook& look, std::string_view text) {
    client.SendChatLine(ComposeChatLine(look, text));
}

}  // namespace lullcast
