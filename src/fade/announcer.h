#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/colour.h"

namespace lullcast {

class ClientOperations;

// The font tag in front of every chat line; it is never closed.
inline constexpr std::string_view kChatFontPrefix = R"(<font face="Arial Narrow">)";
inline constexpr std::string_view kChatFontFace = "Arial Narrow";

// How a chat line looks: the fade's colours (the swatches', or the user's own
// list), whether the characters wave, and the face in the font tag.
struct LineLook {
    std::span<const Colour> colours;
    bool wavy = false;
    std::string_view face = kChatFontFace;
};

// The finished chat line for `text`: the font prefix and the plain (not wavy) fade.
[[nodiscard]] std::string ComposeChatLine(Colour start_colour, Colour end_colour,
                                          std::string_view text);
// The same in the given look: the font tag names `look.face`.
[[nodiscard]] std::string ComposeChatLine(const LineLook& look, std::string_view text);

// The one way a status text reaches the chat room: composes its chat line and
// hands it to the client. The caller passes the colours as they read now.
void Announce(ClientOperations& client, const LineLook& look, std::string_view text);

}  // namespace lullcast
