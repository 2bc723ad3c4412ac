#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lullcast {

// The UTF-8 form of U+FFFD, the replacement character that stands for each
// byte that is not part of a well-formed sequence.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

namespace utf8_detail {

struct LeadByte {
    std::size_t length = 0;  // 0: the byte starts no sequence.
    // Range of the byte after the lead. Narrower than 80-BF after E0, ED, F0
    // and F4: that is what excludes overlong forms, surrogates and values above
    // U+10FFFF.
    std::uint8_t second_low = 0x80;
    std::uint8_t second_high = 0xBF;
};

constexpr LeadByte ClassifyLeadByte(std::uint8_t byte) {
    if (byte < 0x80) {
        return {1};
    }
    if (byte < 0xC2) {  // Continuation bytes and the overlong leads C0, C1.
        return {};
    }
    if (byte < 0xE0) {
        return {2};
    }
    if (byte == 0xE0) {
        return {3, 0xA0, 0xBF};
    }
    if (byte == 0xED) {
        return {3, 0x80, 0x9F};
    }
    if (byte < 0xF0) {
        return {3};
    }
    if (byte == 0xF0) {
        return {4, 0x90, 0xBF};
    }
    if (byte < 0xF4) {
        return {4};
    }
    if (byte == 0xF4) {
        return {4, 0x80, 0x8F};
    }
    return {};  // F5-FF never occur in UTF-8.
}

constexpr bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0U) == 0x80U; }

}  // namespace utf8_detail

// The length in bytes (1 to 4) of the well-formed UTF-8 sequence that starts
// at `text[pos]`, or 0 when the byte there starts none: a continuation byte, a
// byte that never occurs in UTF-8, a sequence cut short by the end of the text
// or by a byte that does not continue it, an overlong form, a surrogate, or a
// code point above U+10FFFF. `pos` must be less than `text.size()`.
// Header-only so that the fade's per-character loop can inline it.
constexpr std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) noexcept {
    const auto byte_at = [text](std::size_t index) {
        return static_cast<std::uint8_t>(text[index]);
    };
    const utf8_detail::LeadByte lead = utf8_detail::ClassifyLeadByte(byte_at(pos));
    if (lead.length <= 1) {
        return lead.length;
    }
    if (text.size() - pos < lead.length) {
        return 0;
    }
    const std::uint8_t second = byte_at(pos + 1);
    if (second < lead.second_low || second > lead.second_high) {
        return 0;
    }
    for (std::size_t offset = 2; offset < lead.length; ++offset) {
        if (!utf8_detail::IsContinuation(byte_at(pos + offset))) {
            return 0;
        }
    }
    return lead.length;
}

}  // namespace lullcast
