#pragma once

#include <string>
#include <string_view>

#include "core/colour.h"

namespace lullcast {

// The colour text of a colour value: upper-case hexadecimal, padded in front
// with zeros to six digits; values above 0xFFFFFF keep their 7 or 8 digits.
[[nodiscard]] std::string ColourToHex(Colour colour);

// The chat markup of `text` (UTF-8) with each character in its own font colour,
// the colours running in equal steps from `start_colour` (exclusive) to
// `end_colour` (the last character). With `wavy`, the characters also cycle
// through superscript and subscript. Empty for an empty text.
[[nodiscard]] std::string FadeText(Colour start_colour, Colour end_colour, std::string_view text,
                                   bool wavy);

}  // namespace lullcast
