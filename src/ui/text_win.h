#pragma once

#include <string>
#include <string_view>

namespace lullcast {

// UTF-8, the program's own text, to and from the UTF-16 of the wide Windows
// functions. Invalid UTF-8 becomes U+FFFD.
[[nodiscard]] std::wstring WidenUtf8(std::string_view text);
[[nodiscard]] std::string NarrowToUtf8(std::wstring_view text);

}  // namespace lullcast
