#pragma once

#include <cstddef>
#include <span>
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

// The fade through several colours: the characters are cut into
// colours.size() - 1 runs, and run j fades from colour j (exclusive) to colour
// j + 1 as FadeText above fades a line of that run's length. The wave cycles
// once over the whole line. Two colours give exactly FadeText above; one
// colour gives every character that colour.
[[nodiscard]] std::string FadeText(std::span<const Colour> colours, std::string_view text,
                                   bool wavy);

// The characters of run `run` when `characters` are cut into `runs` runs as
// evenly as they go, the earlier runs taking one more; empty when there are
// fewer characters than runs.
[[nodiscard]] std::size_t FadeRunLength(std::size_t characters, std::size_t runs, std::size_t run);

}  // namespace lullcast
