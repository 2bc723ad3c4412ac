#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lullcast::e2e {

// One line of the stand-in client's event log: "<ms> <kind> [key=value ...]".
// Bare words (the "off" of "ims off") are kept in order; "shown=" runs to the
// end of the line and is for people, so it is kept apart from the fields.
struct LogEvent {
    long long ms = 0;
    std::string kind;
    std::map<std::string, std::string, std::less<>> fields;
    std::vector<std::string> words;
    std::string shown;

    // The field's value, or the empty text when the event has no such field.
    [[nodiscard]] std::string Field(std::string_view key) const;
    // "kind key=value ..." without the time and without "shown=", for messages.
    [[nodiscard]] std::string Describe() const;
};

// Every complete line of `text`. A last line without its line end is still
// being written and is left out; a line that is not an event is skipped.
[[nodiscard]] std::vector<LogEvent> ParseStandinLog(std::string_view text);

[[nodiscard]] std::vector<LogEvent> EventsOfKind(const std::vector<LogEvent>& events,
                                                 std::string_view kind);

// Upper-case hexadecimal pairs of `bytes`, as the log writes them.
[[nodiscard]] std::string HexOf(std::string_view bytes);

}  // namespace lullcast::e2e
