// The settings dialog's fields: what each field takes beyond the settings
// file's own rules, what it says of what it does not take, and the entries a
// change rewrites.
#include "settings/settings_fields.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/away_settings.h"

namespace lullcast {
namespace {

using enum SettingsField;

// Each text field, in the order of SettingsField.
constexpr std::string SettingsFields::*kTexts[] = {
    &SettingsFields::colours, &SettingsFields::face, &SettingsFields::auto_away,
    &SettingsFields::reason, &SettingsFields::report};
const char* const kNames[] = {"Colours", "Font", "Auto-away after", "Reason", "Report every"};

std::string& TextOf(SettingsFields& fields, SettingsField field) {
    return fields.*kTexts[static_cast<int>(field)];
}

// The changes as "KEY=value", "-KEY" for a removal.
std::string Rendered(const std::vector<EntryChange>& changes) {
    std::string text;
    for (const EntryChange& change : changes) {
        if (!text.empty()) text += "; ";
        text += change.value ? std::string(change.key) + "=" + *change.value
                             : "-" + std::string(change.key);
    }
    return text;
}

// One field typed over the defaults' fields: the text it shows again once
// taken, or nothing when the field's problem is to be reported. The defaults
// shown and taken back the settings' fuzz target checks.
TEST(SettingsFieldsTest, EachFieldTakesItsRangeAndNamesItselfWhenNot) {
    std::string grins;  // 375 characters, each two UTF-16 units in four bytes
    for (int i = 0; i < 375; ++i) grins += "\xF0\x9F\x98\x80";
    const struct {
        SettingsField field;
        std::string typed;
        std::optional<std::string> shown;
    } cases[] = {{kColours, " ff0000 ,\tFFff00 ", "#FF0000, #FFFF00"},
                 {kFace, " Comic Sans MS\t", "Comic Sans MS"},
                 {kAutoAway, "1440", "1440"},
                 {kAutoAway, "1441", std::nullopt},
                 {kReport, "60", "60"},
                 {kReport, "61", std::nullopt},
                 {kReason, " gone\r\nback soon ", " gone  back soon "},
                 // The file keeps 749 UTF-16 units, with the two quote marks that a
                 // blank at an end costs.
                 {kReason, grins.substr(4) + "r", grins.substr(4) + "r"},
                 {kReason, grins, std::nullopt},
                 {kReason, std::string(747, 'r') + " ", std::nullopt}};
    for (const auto& c : cases) {
        SettingsFields fields = FieldsShowing({});
        TextOf(fields, c.field) = c.typed;
        const auto read = SettingsFromFields(fields);
        const std::string name = kNames[static_cast<int>(c.field)];
        const std::string label = name + " \"" + c.typed + '"';
        if (c.shown) {
            ASSERT_TRUE(std::holds_alternative<AwaySettings>(read)) << label;
            TextOf(fields, c.field) = *c.shown;
            EXPECT_EQ(FieldsShowing(std::get<AwaySettings>(read)), fields) << label;
        } else {
            ASSERT_TRUE(std::holds_alternative<FieldProblem>(read)) << label;
            EXPECT_EQ(std::get<FieldProblem>(read).field, c.field) << label;
            EXPECT_TRUE(std::get<FieldProblem>(read).text.starts_with(name + ": ")) << label;
        }
    }

    // With every field wrong, the first one in the dialog's order is named,
    // then the next once it is mended.
    SettingsFields fields = {"teal", false, "", "x", std::string(750, 'r'), "x", false};
    SettingsFields shown = FieldsShowing({});
    for (const SettingsField field : {kColours, kFace, kAutoAway, kReason, kReport}) {
        const auto read = SettingsFromFields(fields);
        ASSERT_TRUE(std::holds_alternative<FieldProblem>(read)) << kNames[static_cast<int>(field)];
        EXPECT_EQ(std::get<FieldProblem>(read).field, field);
        TextOf(fields, field) = TextOf(shown, field);
    }
}

// From settings a file gave, the fields typed over as the user types them:
// only what differs is written, in the file's spelling, and a default
// removes its entry. No change, and every rewritten file read back, the
// fuzz target checks.
TEST(SettingsFieldsTest, ChangedEntriesRewriteOnlyWhatDiffers) {
    using Fields = SettingsFields;
    const Fields lunch = {
        "#FF0000,#ffff00 , #0000FF", true, " Comic Sans MS", "015", "at lunch", " 7", true};
    const AwaySettings at_lunch = std::get<AwaySettings>(SettingsFromFields(lunch));
    const struct {
        AwaySettings before;
        std::function<void(Fields&)> type;
        std::string changes;
    } cases[] = {{{},
                  [&](Fields& f) { f = lunch; },
                  "FADE=#FF0000, #FFFF00, #0000FF; WAVY=1; FONT=Comic Sans MS; AUTOAWAY=15; "
                  "AUTOREASON=at lunch; REPORTMINUTES=7; AWAYLOG=1"},
                 {at_lunch,
                  [](Fields& f) {
                      f = FieldsShowing({});
                      f.colours = "#004040,#00ffff";
                  },
                  "-FADE; -WAVY; -FONT; -AUTOAWAY; -AUTOREASON; -REPORTMINUTES; -AWAYLOG"},
                 {{}, [](Fields& f) { f.face = "'Mono'"; }, R"(FONT="'Mono'")"},
                 // A reason goes in quotes where a profile read would take its end
                 // blanks or its own quotes away.
                 {{}, [](Fields& f) { f.reason = ""; }, "AUTOREASON="},
                 {{}, [](Fields& f) { f.reason = " brb"; }, R"(AUTOREASON=" brb")"},
                 {{}, [](Fields& f) { f.reason = R"("brb")"; }, R"(AUTOREASON=""brb"")"}};
    for (const auto& c : cases) {
        Fields fields = FieldsShowing(c.before);
        c.type(fields);
        const auto read = SettingsFromFields(fields);
        ASSERT_TRUE(std::holds_alternative<AwaySettings>(read)) << c.changes;
        EXPECT_EQ(Rendered(ChangedEntries(c.before, std::get<AwaySettings>(read))), c.changes);
    }
}

}  // namespace
}  // namespace lullcast
