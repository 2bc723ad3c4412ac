#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lullcast::e2e {

// One line of the stand-in client's event log: "<ms> <kind> [key=value | word
// ...] [shown=<text for people>]".
struct LogEvent {
    long long ms = 0;
    std::string kind;
    std::map<std::string, std::string, std::less<>> fields;
    std::vector<std::string> words;

    [[nodiscard]] std::string Field(std::string_view key) const {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string() : found->second;
    }
};

// Every complete line of `text`; a last line without its line end is still
// being written and is left out.
[[nodiscard]] std::vector<LogEvent> ParseStandinLog(std::string_view text);
[[nodiscard]] std::vector<LogEvent> EventsOfKind(const std::vector<LogEvent>& events,
                                                 std::string_view kind);
// Upper-case hexadecimal pairs of `bytes`, as the log writes them.
[[nodiscard]] std::string HexOf(std::string_view bytes);

}  // namespace lullcast::e2e
