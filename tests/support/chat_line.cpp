#include "support/chat_line.h"

#include "core/colour.h"
#include "fade/announcer.h"

namespace lullcast::testing {
namespace {

constexpr Colour kFadeStart = MakeColour(0, 64, 64);
constexpr Colour kFadeEnd = MakeColour(0, 255, 255);
constexpr std::string_view kPieceStart = "<Font Color=#";
constexpr std::size_t kPieceTagLength = 13 + 6 + 1;

std::size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

std::optional<std::string> PlainTextOfChatLine(std::string_view line) {
    std::string_view rest = line;
    if (!rest.starts_with(kChatFontPrefix)) return std::nullopt;
    rest.remove_prefix(kChatFontPrefix.size());
    std::string text;
    while (!rest.empty()) {
        if (rest.size() <= kPieceTagLength || !rest.starts_with(kPieceStart)) return std::nullopt;
        rest.remove_prefix(kPieceTagLength);
        const std::size_t length = Utf8Length(static_cast<unsigned char>(rest.front()));
        if (length > rest.size()) return std::nullopt;
        text += rest.substr(0, length);
        rest.remove_prefix(length);
    }
    // Reading the pieces back is not enough: the colours must be the fade's.
    if (ComposeChatLine(kFadeStart, kFadeEnd, text) != line) return std::nullopt;
    return text;
}

}  // namespace lullcast::testing
