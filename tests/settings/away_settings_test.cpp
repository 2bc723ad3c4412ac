#include "settings/away_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/colour.h"

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
    const Case cases[] = {{std::nullopt, std::nullopt, 1},
                          {"1", 1, 1, "gone\r\n[x]\nHANDLE=eve", "gone  [x] HANDLE=eve", true},
                          {"007", 7, 7},
                          {"61", 61, 1},
                          {"1441", std::nullopt, 1, "", ""},  // an empty reason is a reason
                          {"0", std::nullopt, 1},
                          {"99999999999999999999", std::nullopt, 1}};
    for (const Case& c : cases) {
        const AwaySettings settings = ParseAwaySettings(c.number, c.reason, c.number, c.number);
        EXPECT_EQ(settings.auto_away_minutes, c.auto_away) << c.number.value_or("(absent)");
        EXPECT_EQ(settings.report_minutes, c.report) << c.number.value_or("(absent)");
        EXPECT_EQ(settings.auto_reason, c.auto_reason) << c.reason.value_or("(absent)");
        EXPECT_EQ(settings.away_log, c.away_log) << c.number.value_or("(absent)");
    }
}

// HTML's red-first text becomes the colour value's red-in-the-low-byte; the
// fade's markup tests pin the way back. Each entry is also read by a plain
// reference in the settings' fuzz target.
TEST(LookSettingsTest, TakesOnlyValidColourListsFacesAndWaves) {
    const std::vector<Colour> red_yellow_blue = {0x0000FF, 0x00FFFF, 0xFF0000};
    const std::vector<Colour> none;
    const struct {
        Text fade;
        std::vector<Colour> colours;
    } fades[] = {{std::nullopt, none},
                 {"#FF0000, #FFFF00, #0000FF", red_yellow_blue},
                 {"000000,000001,000002,000003,000004,000005,000006,000007",
                  {0, 0x010000, 0x020000, 0x030000, 0x040000, 0x050000, 0x060000, 0x070000}},
                 {"000000,000001,000002,000003,000004,000005,000006,000007,000008", none},
                 {"#FF0000", none},
                 {"#FF0000,,#0000FF", none},
                 {"#FF000G,#0000FF", none},
                 {"#FF00000,#0000FF", none}};
    for (const auto& [fade, colours] : fades) {
        EXPECT_EQ(ParseLookSettings(fade, std::nullopt, std::nullopt).fade, colours)
            << fade.value_or("(absent)");
    }
    const struct {
        Text value;
        bool wavy;
        std::string face;  // The same value given as FONT.
    } others[] = {{std::nullopt, false, ""},
                  {"1", true, "1"},
                  {"yes", false, "yes"},
                  {std::string(31, 'x'), false, std::string(31, 'x')},
                  {std::string(32, 'x'), false, ""},
                  {" Zo\xC3\xAB Sans\t", false, "Zo\xC3\xAB Sans"},
                  {"A\"><b", false, ""},
                  {"A\xC2\x85", false, ""},
                  {"A\xFF", false, ""}};
    for (const auto& [value, wavy, face] : others) {
        const LookSettings look = ParseLookSettings(std::nullopt, value, value);
        EXPECT_EQ(look.wavy, wavy) << value.value_or("(absent)");
        EXPECT_EQ(look.face, face) << value.value_or("(absent)");
    }
}

}  // namespace
}  // namespace lullcast
