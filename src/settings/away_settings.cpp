#include "settings/away_settings.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace lullcast {

std::optional<int> WholeNumberIn(std::string_view text, int lowest, int highest) {
    // Digits only: from_chars would also take a minus sign. A number too long
    // for an int is out of range.
    const char* const end = text.data() + text.size();
    int value = 0;
    if (text.empty() || text.front() == '-') {
        return std::nullopt;
    }
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

std::string OnOneLine(std::string_view value) {
    std::string line(value);
    std::ranges::replace_if(
        line, [](char byte) { return byte == '\r' || byte == '\n'; }, ' ');
    return line;
}

AwaySettings ParseAwaySettings(const std::optional<std::string>& auto_away,
                               const std::optional<std::string>& auto_reason,
                               const std::optional<std::string>& report_minutes,
                               const std::optional<std::string>& away_log) {
    AwaySettings settings;
    if (auto_away) {
        settings.auto_away_minutes = WholeNumberIn(*auto_away, 1, kLongestAutoAwayMinutes);
    }
    if (auto_reason) {
        settings.auto_reason = OnOneLine(*auto_reason);
    }
    if (report_minutes) {
        settings.report_minutes =
            WholeNumberIn(*report_minutes, 1, kLongestReportMinutes).value_or(1);
    }
    settings.away_log = away_log == "1";
    return settings;
}

}  // namespace lullcast
