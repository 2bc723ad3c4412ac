// The settings file's entries, a row for each rule. Every entry is read
// against a plain reference of its rules by the settings' fuzz target, whose
// corpus (with the ends of each range) every native build replays.
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
    const Case cases[] = {{std::nullopt, std::nullopt, 1},
                          {"1", 1, 1, "gone\r\n[x]\nHANDLE=eve", "gone  [x] HANDLE=eve", true},
                          {"61", 61, 1, "", ""}};  // an empty reason is a reason
    for (const Case& c : cases) {
        const AwaySettings settings = ParseAwaySettings(c.number, c.reason, c.number, c.number);
        EXPECT_EQ(settings.auto_away_minutes, c.auto_away) << c.number.value_or("(absent)");
        EXPECT_EQ(settings.report_minutes, c.report) << c.number.value_or("(absent)");
        EXPECT_EQ(settings.auto_reason, c.auto_reason) << c.reason.value_or("(absent)");
        EXPECT_EQ(settings.away_log, c.away_log) << c.number.value_or("(absent)");
    }
}

std::string Repeated(std::string_view text, std::size_t times) {
    std::string repeated;
    while (times-- > 0) repeated += text;
    return repeated;
}

// A face's length is counted in characters, of one byte or of four; what it
// may hold, the fuzz target's reference checks.
TEST(LookSettingsTest, TakesAFaceOfOneTo31Characters) {
    const std::string_view too_long = "a face of 1 to 31 characters";
    const struct {
        std::string font, face;
        std::string_view problem;
    } cases[] = {
        {std::string(31, 'x'), std::string(31, 'x'), ""},
        {std::string(32, 'x'), "", too_long},
        {Repeated("\xC3\xA9", 31), Repeated("\xC3\xA9", 31), ""},
        {Repeated("\xC3\xA9", 32), "", too_long},
        {"Zo" + Repeated("\xF0\x9F\x98\x80", 29), "Zo" + Repeated("\xF0\x9F\x98\x80", 29), ""},
        {"Zo" + Repeated("\xF0\x9F\x98\x80", 30), "", too_long},
        {"", "", too_long},
        {" Zo\xC3\xAB Sans\t", "Zo\xC3\xAB Sans",
         "a face cannot hold a quote mark, an angle bracket or a control character"}};
    for (const auto& [font, face, problem] : cases) {
        EXPECT_EQ(ParseLookSettings(std::nullopt, std::nullopt, font).face, face) << font;
        EXPECT_EQ(FaceNameProblem(font), problem) << font;
    }
}

}  // namespace
}  // namespace lullcast
