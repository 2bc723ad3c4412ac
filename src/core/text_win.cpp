#include "core/text_win.h"

#include <windows.h>

#include <climits>

namespace lullcast {
namespace {

// The conversions below take lengths as int.
bool FitsInt(std::size_t length) { return length <= static_cast<std::size_t>(INT_MAX) / 4; }

std::wstring Widen(UINT code_page, std::string_view text) {
    if (text.empty() || !FitsInt(text.size())) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int wide_length = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), wide_length);
    return wide;
}

std::string Narrow(UINT code_page, DWORD flags, std::wstring_view text) {
    if (text.empty() || !FitsInt(text.size())) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int narrow_length =
        WideCharToMultiByte(code_page, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(narrow_length), '\0');
    WideCharToMultiByte(code_page, flags, text.data(), length, narrow.data(), narrow_length,
                        nullptr, nullptr);
    return narrow;
}

bool IsSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

bool IsPair(wchar_t high, wchar_t low) { return high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF; }

// No ANSI code page holds a character beyond the Basic Multilingual Plane, and
// converted as it stands its two UTF-16 halves would give two "?".
std::wstring OneMarkPerAstralCharacter(std::wstring_view wide) {
    std::wstring marked;
    marked.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (!IsSurrogate(wide[i])) {
            marked.push_back(wide[i]);
            continue;
        }
        marked.push_back(L'?');
        if (i + 1 < wide.size() && IsPair(wide[i], wide[i + 1])) {
            ++i;
        }
    }
    return marked;
}

}  // namespace

std::wstring WidenUtf8(std::string_view text) { return Widen(CP_UTF8, text); }

std::string NarrowToUtf8(std::wstring_view text) { return Narrow(CP_UTF8, 0, text); }

std::string ToAnsiCodePage(std::string_view utf8) {
    if (GetACP() == CP_UTF8) {
        return std::string(utf8);  // holds every character
    }
    // Without WC_NO_BEST_FIT_CHARS a missing character could turn into a
    // look-alike; the code page's default character "?" shows instead that
    // something could not be carried.
    return Narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, OneMarkPerAstralCharacter(WidenUtf8(utf8)));
}

std::wstring WidenAnsi(std::string_view ansi) { return Widen(CP_ACP, ansi); }

std::string NarrowToAnsi(std::wstring_view text) {
    return Narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, text);
}

}  // namespace lullcast
