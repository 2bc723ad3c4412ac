#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/look_settings.h"

namespace lullcast {

// The optional behaviour, as the settings file gives it. Every default is the
// program's plain behaviour: no auto-away, a report every minute, the plain
// look of the lines.
struct AwaySettings {
    // Minutes without keyboard or mouse input after which Start runs by
    // itself; nothing: never.
    std::optional<int> auto_away_minutes;
    // The reason given when Start runs by itself.
    std::string auto_reason = "auto-away";
    // The report goes out when the elapsed minutes reach a multiple of this.
    int report_minutes = 1;
    LookSettings look{};
    // Keeps, while a period runs, the chat lines that name the user, and
    // shows them when the period ends with Stop.
    bool away_log = false;
};

inline constexpr int kLongestAutoAwayMinutes = 1440;
inline constexpr int kLongestReportMinutes = 60;

// The settings from the entries' texts; nothing for an entry that is absent.
// A value that is not a whole number in its range leaves its setting at the
// default. A line break in the reason becomes a blank. The away log is on
// for "1" only.
[[nodiscard]] AwaySettings ParseAwaySettings(
    const std::optional<std::string>& auto_away, const std::optional<std::string>& auto_reason,
    const std::optional<std::string>& report_minutes,
    const std::optional<std::string>& away_log = std::nullopt);

// The whole number `text` spells (decimal digits only) when it lies in
// lowest..highest.
[[nodiscard]] std::optional<int> WholeNumberIn(std::string_view text, int lowest, int highest);

// `value` with every carriage return and line feed as a blank: in a
// line-based settings file a line break would start new entries.
[[nodiscard]] std::string OnOneLine(std::string_view value);

}  // namespace lullcast
