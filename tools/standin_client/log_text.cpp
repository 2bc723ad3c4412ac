#include "log_text.h"

#include <array>
#include <cstddef>

namespace lullcast::standin {
namespace {

constexpr std::array<char, 16> kHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

void AppendHex(std::string& out, char byte) {
    const auto value = static_cast<unsigned char>(byte);
    out.push_back(kHexDigits[value >> 4U]);
    out.push_back(kHexDigits[value & 0x0FU]);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char folded = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (folded != lower[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string HexBytes(std::string_view bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        AppendHex(hex, byte);
    }
    return hex;
}

std::string EscapedForReading(std::string_view bytes) {
    std::string escaped;
    escaped.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (byte == '\\') {
            escaped += "\\\\";
        } else if (value >= 0x20 && value < 0x7F) {
            escaped.push_back(byte);
        } else {
            escaped += "\\x";
            AppendHex(escaped, byte);
        }
    }
    return escaped;
}

ImCommand ImCommandFor(std::string_view recipient) {
    const std::string_view name = Trimmed(recipient);
    if (EqualsIgnoringAsciiCase(name, "$im_off")) {
        return ImCommand::kImsOff;
    }
    if (EqualsIgnoringAsciiCase(name, "$im_on")) {
        return ImCommand::kImsOn;
    }
    return ImCommand::kNone;
}

}  // namespace lullcast::standin
