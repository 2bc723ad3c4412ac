#pragma once

#include <string>
#include <string_view>

namespace lullcast::standin {

// The bytes as upper-case hexadecimal pairs without separators: the exact
// bytes in a form that keeps a log line one line and ASCII.
[[nodiscard]] std::string HexBytes(std::string_view bytes);

// The bytes for a human reader: printable ASCII as it is, a backslash as
// "\\", every other byte as "\xHH".
[[nodiscard]] std::string EscapedForReading(std::string_view bytes);

// What an instant message's recipient asks of the client: the recipients
// "$im_off" and "$im_on" (any case, blanks around them ignored) switch the
// acceptance of instant messages; any other is a person.
enum class ImCommand { kNone, kImsOff, kImsOn };
[[nodiscard]] ImCommand ImCommandFor(std::string_view recipient);

}  // namespace lullcast::standin
