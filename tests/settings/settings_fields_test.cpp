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

// The reason as the file can keep it, and every field's problem named in the
// dialog's order. Each field's range, what it shows once taken, and the field
// named first, the settings' fuzz target checks; its fields are short.
TEST(SettingsFieldsTest, TheReasonFitsTheFileAndEachWrongFieldIsNamedInTurn) {
    std::string grins;  // 375 characters, each two UTF-16 units in four bytes
    for (int i = 0; i < 375; ++i) grins += "\xF0\x9F\x98\x80";
    // The file keeps 749 UTF-16 units, with the two quote marks that a blank
    // at an end costs.
    const struct {
        std::string typed;
        bool taken;
    } reasons[] = {
        {grins.substr(4) + "r", true}, {grins, false}, {std::string(747, 'r') + " ", false}};
    for (const auto& [typed, taken] : reasons) {
        SettingsFields fields = FieldsShowing({});
        fields.reason = typed;
        const auto read = SettingsFromFields(fields);
        if (taken) {
            ASSERT_TRUE(std::holds_alternative<AwaySettings>(read)) << typed;
            EXPECT_EQ(FieldsShowing(std::get<AwaySettings>(read)), fields) << typed;
        } else {
            ASSERT_TRUE(std::holds_alternative<FieldProblem>(read)) << typed;
            EXPECT_EQ(std::get<FieldProblem>(read).field, kReason) << typed;
        }
    }

    // With every field wrong, the first one in the dialog's order is named,
    // then the next once it is mended.
    SettingsFields fields = {"teal", false, "", "x", std::string(750, 'r'), "x", false};
    SettingsFields shown = FieldsShowing({});
    for (const SettingsField field : {kColours, kFace, kAutoAway, kReason, kReport}) {
        const std::string name = kNames[static_cast<int>(field)];
        const auto read = SettingsFromFields(fields);
        ASSERT_TRUE(std::holds_alternative<FieldProblem>(read)) << name;
        EXPECT_EQ(std::get<FieldProblem>(read).field, field);
        EXPECT_TRUE(std::get<FieldProblem>(read).text.starts_with(name + ": ")) << name;
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
