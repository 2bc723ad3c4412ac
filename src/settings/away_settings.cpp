#include "settings/away_settings.h"

#include <algorithm>

namespace lullcast {

std::optional<int> WholeNumberIn(std::string_view text, int lowest, int highest) {
    // Longer texts are out of every range here, and could not be summed in
    // an int; leading zeros count no differently.
    constexpr std::size_t kMostDigits = 9;
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    const std::string_view digits = text.substr(first);
    if (text.empty() || digits.size() > kMostDigits ||
        !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    for (const char digit : digits) {
        value = value * 10 + (digit - '0');
    }
    if (value < lowest || value > highest) {
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
                               const std::optional<std::string>& report_minutes) {
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
    return settings;
}

}  // namespace lullcast
