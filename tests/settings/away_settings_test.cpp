#include "settings/away_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lullcast {
namespace {

using Text = std::optional<std::string>;

TEST(AwaySettingsTest, OnlyWholeNumbersInRangeCountAndTheReasonStaysOnOneLine) {
    // `number` is given as AUTOAWAY (1..1440), REPORTMINUTES (1..60, else 1) and
    // AWAYLOG ("1" only).
    struct Case {
        Text number;
        std::optional<int> auto_away;
        int report;
        Text reason = std::nullopt;
        std::string auto_reason = "auto-away";
        bool away_log = false;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, 1},
        {"", std::nullopt, 1, "", ""},
        {"0", std::nullopt, 1},
        {"1", 1, 1, "gone\r\n[x]\nHANDLE=eve", "gone  [x] HANDLE=eve", true},
        {"007", 7, 7},
        {"60", 60, 60},
        {"61", 61, 1},
        {"1440", 1440, 1},
        {"1441", std::nullopt, 1},
        {"-5", std::nullopt, 1},
        {"+5", std::nullopt, 1},
        {"5 min", std::nullopt, 1},
        {"99999999999999999999", std::nullopt, 1},
        {"00000000000000000005", 5, 5},
    };
    for (const Case& c : cases) {
        const AwaySettings settings = ParseAwaySettings(c.number, c.reason, c.number, c.number);
        EXPECT_EQ(settings.auto_away_minutes, c.auto_away) << c.number.value_or("(absent)");
        EXPECT_EQ(settings.report_minutes, c.report) << c.number.value_or("(absent)");
        EXPECT_EQ(settings.auto_reason, c.auto_reason) << c.reason.value_or("(absent)");
        EXPECT_EQ(settings.away_log, c.away_log) << c.number.value_or("(absent)");
    }
}

}  // namespace
}  // namespace lullcast
