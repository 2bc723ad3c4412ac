#include "fade/chat_markup.h"

#include <algorithm>
#include <cstddef>

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

std::optional<int> HexDigit(char c) {
    const char lower = LowerAscii(c);
    if (lower >= '0' && lower <= '9') {
        return lower - '0';
    }
    if (lower >= 'a' && lower <= 'f') {
        return lower - 'a' + 10;
    }
    return std::nullopt;
}

// "#RRGGBB" or "RRGGBB"; anything else names no colour.
std::optional<Colour> ParseColour(std::string_view value) {
    if (!value.empty() && value.front() == '#') {
        value.remove_prefix(1);
    }
    if (value.size() != 6) {
        return std::nullopt;
    }
    int channels[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::optional<int> digit = HexDigit(value[i]);
        if (!digit) {
            return std::nullopt;
        }
        channels[i / 2] = channels[i / 2] * 16 + *digit;
    }
    return MakeColour(static_cast<std::uint8_t>(channels[0]),
                      static_cast<std::uint8_t>(channels[1]),
                      static_cast<std::uint8_t>(channels[2]));
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
        std::string_view value;
        if (pos < line.size() && (line[pos] == '"' || line[pos] == '\'')) {
            const std::size_t closing = line.find(line[pos], pos + 1);
            if (closing == std::string_view::npos) {
                return std::nullopt;
            }
            value = line.substr(pos + 1, closing - pos - 1);
            pos = closing + 1;
        } else {
            const std::size_t value_start = pos;
            while (pos < line.size() && !IsBlank(line[pos]) && line[pos] != '>' &&
                   line[pos] != '<') {
                ++pos;
            }
            value = line.substr(value_start, pos - value_start);
        }
        if (EqualsIgnoringCase(name, "face")) {
            tag.face = std::string(value);
        } else if (EqualsIgnoringCase(name, "color")) {
            tag.colour = ParseColour(value);
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
    const ShiftTag tags[] = {{1, 0, 5}, {-1, 0, 6}, {0, 1, 5}, {0, -1, 6}};
    const std::string_view names[] = {"<sup>", "</sup>", "<sub>", "</sub>"};
    for (std::size_t i = 0; i < 4; ++i) {
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

std::string ShownText(const ShownLine& line) {
    std::string text;
    text.reserve(line.characters.size());
    for (const ShownCharacter& character : line.characters) {
        text.push_back(character.byte);
    }
    return text;
}

}  // namespace lullcast
