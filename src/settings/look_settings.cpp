#include "settings/look_settings.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/blanks.h"
#include "fade/utf8.h"

namespace lullcast {

std::vector<std::string_view> FadeColourItems(std::string_view text) {
    std::vector<std::string_view> items;
    while (true) {
        const std::size_t comma = text.find(',');
        items.push_back(TrimmedBlanks(text.substr(0, comma)));
        if (comma == std::string_view::npos) {
            return items;
        }
        text.remove_prefix(comma + 1);
    }
}

std::variant<std::vector<Colour>, std::string> ReadFadeColours(std::string_view text) {
    std::vector<Colour> colours;
    for (const std::string_view item : FadeColourItems(text)) {
        const auto colour = ParseHtmlColour(item);
        if (!colour) {
            return item.empty() ? std::string("a colour is missing between two commas or at an end")
                                : "\"" + std::string(item) + "\" is not a colour as #RRGGBB";
        }
        if (colours.size() == kMostFadeColours) {
            return std::string("at most eight colours");
        }
        colours.push_back(*colour);
    }
    if (colours.size() < 2) {
        return std::string("at least two colours");
    }
    return colours;
}

std::optional<std::vector<Colour>> ParseFadeColours(std::string_view text) {
    auto read = ReadFadeColours(text);
    if (auto* const colours = std::get_if<std::vector<Colour>>(&read)) {
        return std::move(*colours);
    }
    return std::nullopt;
}

std::string_view FaceNameProblem(std::string_view face) {
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < face.size(); ++characters) {
        const std::size_t length = Utf8SequenceLength(face, pos);
        const auto byte = static_cast<unsigned char>(face[pos]);
        // C0 controls, DEL, and the C1 controls U+0080-U+009F (C2 80-C2 9F).
        const bool control =
            byte < 0x20U || byte == 0x7FU ||
            (byte == 0xC2U && length == 2 && static_cast<unsigned char>(face[pos + 1]) < 0xA0U);
        if (length == 0 || control || byte == '"' || byte == '<' || byte == '>') {
            return "a face cannot hold a quote mark, an angle bracket or a control character";
        }
        pos += length;
    }
    if (characters < 1 || characters > kLongestFaceName) {
        return "a face of 1 to 31 characters";
    }
    return {};
}

bool IsFaceName(std::string_view face) { return FaceNameProblem(face).empty(); }

LookSettings ParseLookSettings(const std::optional<std::string>& fade,
                               const std::optional<std::string>& wavy,
                               const std::optional<std::string>& font) {
    LookSettings look;
    if (fade) {
        look.fade = ParseFadeColours(*fade).value_or(std::vector<Colour>{});
    }
    look.wavy = wavy == "1";
    // A value in quotes keeps its blanks, but a face never begins or ends
    // with one: the dialog drops them too, and shows the face as read.
    if (const std::string_view face = font ? TrimmedBlanks(*font) : ""; IsFaceName(face)) {
        look.face = face;
    }
    return look;
}

}  // namespace lullcast
