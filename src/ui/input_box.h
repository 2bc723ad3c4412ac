#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace lullcast {

// A modal single-line input box with a prompt, a title, a field that starts
// with `default_text`, and OK and Cancel. Returns the field's text on OK, and
// nothing on Cancel or when the box is closed. The window's other events keep
// running while it is open. Texts are UTF-8.
[[nodiscard]] std::optional<std::string> ShowInputBox(HWND owner, std::string_view prompt,
                                                      std::string_view title,
                                                      std::string_view default_text);

}  // namespace lullcast
