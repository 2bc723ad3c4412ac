#pragma once

#include <cstdint>

namespace lullcast {

// A colour in the window system's layout: red in bits 0-7, green in bits 8-15,
// blue in bits 16-23, and bits 24-31 zero for a plain colour (0x00BBGGRR).
using Colour = std::uint32_t;

constexpr Colour MakeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8U) |
           (static_cast<Colour>(blue) << 16U);
}

}  // namespace lullcast
