#pragma once

#include <string>
#include <string_view>

#include "core/colour.h"

namespace lullcast {

class ClientOperations;

// The font tag in front of every chat line; it is never closed.
inline constexpr std::string_view kChatFontPrefix = R"(<font face="Arial Narrow">)";

// The finished chat line for `text`: the font prefix and the plain (not wavy) fade.
[[nodiscard]] std::string ComposeChatLine(Colour start_colour, Colour end_colour,
                                          std::string_view text);

// The one way a status text reaches the chat room: composes its chat line and
// hands it to the client. The caller passes the swatch colours as they read now.
void Announce(ClientOperations& client, Colour start_colour, Colour end_colour,
              std::string_view text);

}  // namespace lullcast
