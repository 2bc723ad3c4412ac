#include "fade/chat_markup.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>

namespace lullcast {
namespace {

struct FontTag {
    std::size_t length = 0;  // bytes from '<' to '>' inclusive
    std::optional<std::string> face;
    std::optional<Colour> colour;
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != lower[i]) {
            return false;
        }
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameCharacter(char c) {
    const char lower = LowerAscii(c);
    return (lower >= 'a' && lower <= 'z') || c == '-';
}

// The attribute value at `pos`, quoted or not, with `pos` moved past it;
// nothing for a quote that is never closed.
std::optional<std::string_view> ReadAttributeValue(std::string_view line, std::size_t& pos) {
    if (pos < line.size() && (line[pos] == '"' || line[pos] == '\'')) {
        const std::size_t closing = line.find(line[pos], pos + 1);
        if (closing == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view value = line.substr(pos + 1, closing - pos - 1);
        pos = closing + 1;
        return value;
    }
    const std::size_t value_start = pos;
    while (pos < line.size() && !IsBlank(line[pos]) && line[pos] != '>' && line[pos] != '<') {
        ++pos;
    }
    return line.substr(value_start, pos - value_start);
}

// Reads the font tag's attributes from `pos` (just after "<font") to its '>'.
// Attributes other than face and color are accepted and ignored, as a browser
// would; a colour that does not parse leaves the colour as it was.
std::optional<FontTag> ReadFontAttributes(std::string_view line, std::size_t pos) {
    FontTag tag;
    while (true) {
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos >= line.size() || line[pos] == '<') {
            return std::nullopt;
        }
        if (line[pos] == '>') {
            tag.length = pos + 1;
            return tag;
        }
        const std::size_t name_start = pos;
        while (pos < line.size() && IsNameCharacter(line[pos])) {
            ++pos;
        }
        const std::string_view name = line.substr(name_start, pos - name_start);
        if (name.empty() || pos >= line.size() || line[pos] != '=') {
            return std::nullopt;
        }
        ++pos;
        const std::optional<std::string_view> value = ReadAttributeValue(line, pos);
        if (!value) {
            return std::nullopt;
        }
        if (EqualsIgnoringCase(name, "face")) {
            tag.face = std::string(*value);
        } else if (EqualsIgnoringCase(name, "color")) {
            tag.colour = ParseHtmlColour(*value);
        }
    }
}

// The font tag that starts at `start` (a '<'), or nothing when no well-formed
// font tag starts there.
std::optional<FontTag> ReadFontTag(std::string_view line, std::size_t start) {
    constexpr std::string_view kOpening = "<font";
    if (line.size() - start < kOpening.size() + 1 ||
        !EqualsIgnoringCase(line.substr(start, kOpening.size()), kOpening)) {
        return std::nullopt;
    }
    const std::size_t after_name = start + kOpening.size();
    if (!IsBlank(line[after_name]) && line[after_name] != '>') {
        return std::nullopt;  // "<fonts>", "<fontx ...>": another tag
    }
    std::optional<FontTag> tag = ReadFontAttributes(line, after_name);
    if (tag) {
        tag->length -= start;
    }
    return tag;
}

// The raise or lower tag that starts at `start`: how it changes the open
// <sup> and <sub> counts, and its length; nothing when none starts there.
struct ShiftTag {
    int sup = 0;
    int sub = 0;
    std::size_t length = 0;
};

std::optional<ShiftTag> ReadShiftTag(std::string_view line, std::size_t start) {
    constexpr std::array<ShiftTag, 4> tags = {{{1, 0, 5}, {-1, 0, 6}, {0, 1, 5}, {0, -1, 6}}};
    constexpr std::array<std::string_view, 4> names = {"<sup>", "</sup>", "<sub>", "</sub>"};
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (EqualsIgnoringCase(line.substr(start, names[i].size()), names[i])) {
            return tags[i];
        }
    }
    return std::nullopt;
}

}  // namespace

ShownLine ParseChatLine(std::string_view line) {
    ShownLine shown;
    std::optional<Colour> colour;
    bool face_named = false;
    int sup = 0;
    int sub = 0;
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] == '<') {
            if (const std::optional<FontTag> tag = ReadFontTag(line, pos)) {
                if (tag->face && !face_named) {
                    shown.face = *tag->face;
                    face_named = true;
                }
                if (tag->colour) {
                    colour = tag->colour;
                }
                pos += tag->length;
                continue;
            }
            if (const std::optional<ShiftTag> tag = ReadShiftTag(line, pos)) {
                // A closing tag with nothing open is ignored, as a browser does.
                sup = std::max(sup + tag->sup, 0);
                sub = std::max(sub + tag->sub, 0);
                pos += tag->length;
                continue;
            }
        }
        shown.characters.push_back(
            {.byte = line[pos], .colour = colour, .shift = (sup > 0 ? 1 : 0) - (sub > 0 ? 1 : 0)});
        ++pos;
    }
    return shown;
}

std::optional<Colour> ParseHtmlColour(std::string_view text) {
    if (text.starts_with('#')) {
        text.remove_prefix(1);
    }
    constexpr std::size_t kDigits = 6;
    const auto is_hex_digit = [](char digit) {
        const char lower = LowerAscii(digit);
        return (lower >= '0' && lower <= '9') || (lower >= 'a' && lower <= 'f');
    };
    if (text.size() != kDigits || !std::ranges::all_of(text, is_hex_digit)) {
        return std::nullopt;
    }
    unsigned rgb = 0;
    std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
    // HTML writes red first; the colour value keeps red in its low byte.
    return MakeColour(static_cast<std::uint8_t>(rgb >> 16U), static_cast<std::uint8_t>(rgb >> 8U),
                      static_cast<std::uint8_t>(rgb));
}

std::string ShownText(const ShownLine& line) {
    std::string text;
    text.reserve(line.characters.size());
    for (const ShownCharacter& character : line.characters) {
        text.push_back(character.byte);
    }
    return text;
}

}  // namespace lullcast
