#include "ui/text_win.h"

#include <windows.h>

#include <climits>

namespace lullcast {

std::wstring WidenUtf8(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int wide_length = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), wide_length);
    return wide;
}

std::string NarrowToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX / 3) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int narrow_length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(narrow_length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), narrow_length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace lullcast
