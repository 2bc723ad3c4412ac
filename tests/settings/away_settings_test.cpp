#include "settings/away_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lullcast {
namespace {

using Text = std::optional<std::string>;

TEST(AwaySettingsTest, OnlyWholeNumbersInRangeTurnASettingOn) {
    struct Case {
        Text text;
        std::optional<int> auto_away;  // range 1..1440
        int report;                    // range 1..60, else 1
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, 1},
        {"", std::nullopt, 1},
        {"0", std::nullopt, 1},
        {"1", 1, 1},
        {"007", 7, 7},
        {"60", 60, 60},
        {"61", 61, 1},
        {"1440", 1440, 1},
        {"1441", std::nullopt, 1},
        {"-5", std::nullopt, 1},
        {"+5", std::nullopt, 1},
        {"5 min", std::nullopt, 1},
        {"2.5", std::nullopt, 1},
        {"0x10", std::nullopt, 1},
        {"99999999999999999999", std::nullopt, 1},
        {"00000000000000000005", 5, 5},
    };
    for (const Case& c : cases) {
        const AwaySettings settings = ParseAwaySettings(c.text, std::nullopt, c.text);
        EXPECT_EQ(settings.auto_away_minutes, c.auto_away) << c.text.value_or("(absent)");
        EXPECT_EQ(settings.report_minutes, c.report) << c.text.value_or("(absent)");
    }
}

TEST(AwaySettingsTest, TheReasonIsAutoAwayOnlyWhenAbsentAndStaysOnOneLine) {
    EXPECT_EQ(ParseAwaySettings({}, std::nullopt, {}).auto_reason, "auto-away");
    EXPECT_EQ(ParseAwaySettings({}, "", {}).auto_reason, "");
    EXPECT_EQ(ParseAwaySettings({}, "gone\r\n[x]\nHANDLE=eve", {}).auto_reason,
              "gone  [x] HANDLE=eve");
}

}  // namespace
}  // namespace lullcast
