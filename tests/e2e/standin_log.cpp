#include "e2e/standin_log.h"

#include <sstream>

namespace lullcast::e2e {

std::vector<LogEvent> ParseStandinLog(std::string_view text) {
    std::vector<LogEvent> events;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        line = line.substr(0, line.find(" shown="));
        std::istringstream tokens{std::string(line)};
        LogEvent event;
        if (!(tokens >> event.ms >> event.kind)) continue;
        for (std::string token; tokens >> token;) {
            const std::size_t equals = token.find('=');
            if (equals == std::string::npos) {
                event.words.push_back(token);
            } else {
                event.fields.emplace(token.substr(0, equals), token.substr(equals + 1));
            }
        }
        events.push_back(std::move(event));
    }
    return events;
}

std::vector<LogEvent> EventsOfKind(const std::vector<LogEvent>& events, std::string_view kind) {
    std::vector<LogEvent> found;
    for (const LogEvent& event : events) {
        if (event.kind == kind) found.push_back(event);
    }
    return found;
}

std::string HexOf(std::string_view bytes) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string hex;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex += {kDigits[value >> 4U], kDigits[value & 0x0FU]};
    }
    return hex;
}

}  // namespace lullcast::e2e
