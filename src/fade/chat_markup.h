#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/colour.h"

namespace lullcast {

// One character of a posted line as the room shows it: its byte in the ANSI
// code page, and the colour that the font tag before it gave it (none when no
// tag coloured it yet, so the transcript's own text colour applies).
struct ShownCharacter {
    char byte = 0;
    std::optional<Colour> colour;
    // Above the line (1, inside <sup>), on it (0) or below it (-1, inside <sub>).
    int shift = 0;

    friend bool operator==(const ShownCharacter&, const ShownCharacter&) = default;
};

// A posted line as the room shows it: the face named by the line's first font
// tag that names one (empty when none does) and its visible characters.
struct ShownLine {
    std::string face;
    std::vector<ShownCharacter> characters;
};

// Reads the chat markup of a posted line. `<font ...>` tags (any case, with
// `face` and `color` attributes, quoted or not) are markup: they set the
// line's face and the colour of the characters after them; <sup>, </sup>,
// <sub> and </sub> (any case) raise and lower them. Everything else,
// other tags and malformed or unterminated font tags included, shows as text,
// so nothing a sender types is ever lost from view.
[[nodiscard]] ShownLine ParseChatLine(std::string_view line);

// A colour as HTML writes it, "#RRGGBB" (the "#" optional, digits in either
// case), as a colour value (0x00BBGGRR); nothing for any other text.
[[nodiscard]] std::optional<Colour> ParseHtmlColour(std::string_view text);

// The visible characters of a shown line, markup removed.
[[nodiscard]] std::string ShownText(const ShownLine& line);

}  // namespace lullcast
