#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lullcast::testing {

// The plain text of a chat line, when the line is exactly the faded markup of
// that text in the program's colours; nothing otherwise.
[[nodiscard]] std::optional<std::string> PlainTextOfChatLine(std::string_view line);

}  // namespace lullcast::testing
