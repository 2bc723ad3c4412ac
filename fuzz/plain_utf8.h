#pragma once

// UTF-8 read the slow, plain way, as the references of the fuzz targets read
// it: the code point a sequence spells, taken apart bit by bit and then held
// to Unicode's rules for the shortest form and the range.

#include <cstddef>
#include <string>
#include <string_view>

namespace lullcast::plain {

struct Decoded {
    std::size_t length = 0;  // 0: no well-formed sequence starts here
    char32_t code_point = 0;
};

inline Decoded DecodeAt(std::string_view text, std::size_t pos) {
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned lead = byte(pos);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) return {1, lead};
    if ((lead & 0xE0U) == 0xC0U) {
        length = 2;
        value = lead & 0x1FU;
    } else if ((lead & 0xF0U) == 0xE0U) {
        length = 3;
        value = lead & 0x0FU;
    } else if ((lead & 0xF8U) == 0xF0U) {
        length = 4;
        value = lead & 0x07U;
    } else {
        return {};
    }
    if (text.size() - pos < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0U) != 0x80U) return {};
        value = (value << 6U) | (byte(pos + i) & 0x3FU);
    }
    const char32_t shortest_from[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < shortest_from[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return {};
    }
    return {length, value};
}

// The code points of `text`, each byte that starts no well-formed sequence
// as U+FFFD.
inline std::u32string CodePoints(std::string_view text) {
    std::u32string points;
    for (std::size_t pos = 0; pos < text.size();) {
        const Decoded decoded = DecodeAt(text, pos);
        points += decoded.length == 0 ? U'\uFFFD' : decoded.code_point;
        pos += decoded.length == 0 ? 1 : decoded.length;
    }
    return points;
}

inline std::string Encoded(char32_t point) {
    if (point < 0x80) return std::string(1, static_cast<char>(point));
    // The lead byte marks how many continuation bytes follow, six bits each.
    const unsigned extra = point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
    const unsigned char leads[] = {0, 0xC0, 0xE0, 0xF0};
    std::string bytes(1, static_cast<char>(leads[extra] | (point >> (6 * extra))));
    for (unsigned i = extra; i-- > 0;) {
        bytes += static_cast<char>(0x80 | ((point >> (6 * i)) & 0x3FU));
    }
    return bytes;
}

inline std::string Encoded(std::u32string_view points) {
    std::string bytes;
    for (const char32_t point : points) bytes += Encoded(point);
    return bytes;
}

inline bool IsWellFormed(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = DecodeAt(text, pos).length;
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

}  // namespace lullcast::plain
