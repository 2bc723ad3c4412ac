#pragma once

#include <string>
#include <string_view>

// Text crossing to and from Windows. The program's own text is UTF-8; the wide
// functions take UTF-16, and the chat client's controls and the settings file
// hold 8-bit text in the system's ANSI code page.

namespace lullcast {

// UTF-8 to UTF-16 and back. Invalid UTF-8 becomes U+FFFD.
[[nodiscard]] std::wstring WidenUtf8(std::string_view text);
[[nodiscard]] std::string NarrowToUtf8(std::wstring_view text);

// UTF-8 in the ANSI code page. Each character that the code page cannot hold
// becomes one "?": no look-alike stands in for it ("ā" is not sent as "a"),
// and a character beyond the Basic Multilingual Plane gives one mark, not one
// per UTF-16 half.
[[nodiscard]] std::string ToAnsiCodePage(std::string_view utf8);

// ANSI code-page text to UTF-16, and back: text that came from the code page
// goes back to the same bytes.
[[nodiscard]] std::wstring WidenAnsi(std::string_view ansi);
[[nodiscard]] std::string NarrowToAnsi(std::wstring_view text);

}  // namespace lullcast
