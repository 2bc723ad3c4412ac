#include "e2e/standin_log.h"

#include <charconv>

namespace lullcast::e2e {
namespace {

constexpr std::string_view kShownKey = "shown=";

std::optional<LogEvent> ParseEvent(std::string_view line) {
    LogEvent event;
    const std::size_t time_end = line.find(' ');
    if (time_end == std::string_view::npos) return std::nullopt;
    const auto [end, error] = std::from_chars(line.data(), line.data() + time_end, event.ms);
    if (error != std::errc{} || end != line.data() + time_end) return std::nullopt;

    std::string_view rest = line.substr(time_end + 1);
    bool first = true;
    while (!rest.empty()) {
        if (!first && rest.starts_with(kShownKey)) {
            event.shown = rest.substr(kShownKey.size());
            break;
        }
        const std::size_t token_end = rest.find(' ');
        const std::string_view token = rest.substr(0, token_end);
        rest =
            token_end == std::string_view::npos ? std::string_view() : rest.substr(token_end + 1);
        if (first) {
            event.kind = token;
            first = false;
        } else if (const std::size_t equals = token.find('='); equals != std::string_view::npos) {
            event.fields.emplace(token.substr(0, equals), token.substr(equals + 1));
        } else {
            event.words.emplace_back(token);
        }
    }
    if (event.kind.empty()) return std::nullopt;
    return event;
}

}  // namespace

std::string LogEvent::Field(std::string_view key) const {
    const auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

std::string LogEvent::Describe() const {
    std::string text = kind;
    for (const std::string& word : words) text += " " + word;
    for (const auto& [key, value] : fields) text += " " + key + "=" + value;
    return text;
}

std::vector<LogEvent> ParseStandinLog(std::string_view text) {
    std::vector<LogEvent> events;
    while (true) {
        const std::size_t line_end = text.find('\n');
        if (line_end == std::string_view::npos) break;
        if (auto event = ParseEvent(text.substr(0, line_end))) events.push_back(*std::move(event));
        text.remove_prefix(line_end + 1);
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
    hex.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex.push_back(kDigits[value >> 4U]);
        hex.push_back(kDigits[value & 0x0FU]);
    }
    return hex;
}

}  // namespace lullcast::e2e
