// The settings dialog's fields: what each field takes, what it says of what
// it does not take, and the entries a change rewrites, read back as the
// profile functions read them.
#include "settings/settings_fields.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "settings/away_settings.h"
#include "settings/look_settings.h"

namespace lullcast {

// For the failure messages; found next to the type.
void PrintTo(const EntryChange& change, std::ostream* out) {
    *out << change.key << " (" << change.name << ") "
         << (change.value ? "[" + *change.value + "]" : "removed");
}

namespace {

// Every setting in one line, so that two settings compare whole and a
// difference shows.
std::string Described(const AwaySettings& settings) {
    std::string text = "fade [";
    for (const Colour colour : settings.look.fade) {
        std::array<char, 12> hex{};
        std::snprintf(hex.data(), hex.size(), " %06X", static_cast<unsigned>(colour));
        text += hex.data();
    }
    text += " ] wavy " + std::to_string(settings.look.wavy) + " face [" + settings.look.face +
            "] auto " + std::to_string(settings.auto_away_minutes.value_or(-1)) + " reason [" +
            settings.auto_reason + "] report " + std::to_string(settings.report_minutes) + " log " +
            std::to_string(settings.away_log);
    return text;
}

std::string& TextOf(SettingsFields& fields, SettingsField field) {
    switch (field) {
        case SettingsField::kColours:
            return fields.colours;
        case SettingsField::kFace:
            return fields.face;
        case SettingsField::kAutoAway:
            return fields.auto_away;
        case SettingsField::kReason:
            return fields.reason;
        case SettingsField::kReport:
            return fields.report;
    }
    return fields.reason;
}

const char* NameOf(SettingsField field) {
    switch (field) {
        case SettingsField::kColours:
            return "Colours";
        case SettingsField::kFace:
            return "Font";
        case SettingsField::kAutoAway:
            return "Auto-away after";
        case SettingsField::kReason:
            return "Reason";
        case SettingsField::kReport:
            return "Report every";
    }
    return "";
}

std::string Repeated(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// One field typed over the defaults' fields: the text it shows again once
// taken, or nothing when the field's problem is to be reported.
TEST(SettingsFieldsTest, EachFieldTakesItsRangeAndNamesItselfWhenNot) {
    using enum SettingsField;
    const std::string euro = "\xE2\x82\xAC";      // one UTF-16 unit
    const std::string grin = "\xF0\x9F\x98\x80";  // two UTF-16 units
    const struct {
        SettingsField field;
        std::string typed;
        std::optional<std::string> shown;
    } cases[] = {
        {kColours, " ff0000 ,\tFFff00 ", "#FF0000, #FFFF00"},
        {kColours, Repeated("#000001,", 7) + "#000001", Repeated("#000001, ", 7) + "#000001"},
        {kColours, Repeated("#000001,", 8) + "#000001", std::nullopt},
        {kColours, "#FF0000", std::nullopt},
        {kFace, " Comic Sans MS\t", "Comic Sans MS"},
        {kFace, std::string(31, 'x'), std::string(31, 'x')},
        {kFace, std::string(32, 'x'), std::nullopt},
        {kFace, Repeated(euro, 31), Repeated(euro, 31)},
        {kFace, Repeated(euro, 32), std::nullopt},
        {kFace, "  ", std::nullopt},
        {kAutoAway, "0", "0"},
        {kAutoAway, " 007 ", "7"},
        {kAutoAway, "1440", "1440"},
        {kAutoAway, "1441", std::nullopt},
        {kReport, "1", "1"},
        {kReport, "60", "60"},
        {kReport, "61", std::nullopt},
        {kReason, "", ""},
        {kReason, " gone\r\nback soon ", " gone  back soon "},
        {kReason, std::string(749, 'r'), std::string(749, 'r')},
        {kReason, std::string(750, 'r'), std::nullopt},
        // In the file a blank at an end costs the two quote marks around it.
        {kReason, std::string(746, 'r') + " ", std::string(746, 'r') + " "},
        {kReason, std::string(747, 'r') + " ", std::nullopt},
        {kReason, Repeated(euro, 749), Repeated(euro, 749)},
        {kReason, Repeated(grin, 374) + "r", Repeated(grin, 374) + "r"},
        {kReason, Repeated(grin, 375), std::nullopt},
    };
    for (const auto& c : cases) {
        SettingsFields fields = FieldsShowing({});
        TextOf(fields, c.field) = c.typed;
        const auto read = SettingsFromFields(fields);
        const std::string label = std::string(NameOf(c.field)) + " \"" + c.typed + '"';
        if (c.shown) {
            ASSERT_TRUE(std::holds_alternative<AwaySettings>(read)) << label;
            SettingsFields shown = FieldsShowing({});
            TextOf(shown, c.field) = *c.shown;
            EXPECT_EQ(FieldsShowing(std::get<AwaySettings>(read)), shown) << label;
        } else {
            ASSERT_TRUE(std::holds_alternative<FieldProblem>(read)) << label;
            const FieldProblem& problem = std::get<FieldProblem>(read);
            EXPECT_EQ(problem.field, c.field) << label;
            EXPECT_TRUE(problem.text.starts_with(std::string(NameOf(c.field)) + ": "))
                << label << ": " << problem.text;
        }
    }

    // With every field wrong, the first one in the dialog's order is named,
    // then the next once it is mended.
    SettingsFields fields = {.colours = "teal",
                             .face = "",
                             .auto_away = "x",
                             .reason = std::string(750, 'r'),
                             .report = "x"};
    SettingsFields plain = FieldsShowing({});
    for (const SettingsField field : {kColours, kFace, kAutoAway, kReason, kReport}) {
        const auto read = SettingsFromFields(fields);
        ASSERT_TRUE(std::holds_alternative<FieldProblem>(read)) << NameOf(field);
        EXPECT_EQ(std::get<FieldProblem>(read).field, field);
        TextOf(fields, field) = TextOf(plain, field);
    }
    EXPECT_TRUE(std::holds_alternative<AwaySettings>(SettingsFromFields(fields)));
}

// The file as the profile functions read a value: without the blanks at
// either end, then without one pair of quote marks around it.
std::optional<std::string> ProfileRead(const std::map<std::string, std::string>& file,
                                       const std::string& key) {
    const auto entry = file.find(key);
    if (entry == file.end()) return std::nullopt;
    std::string_view value = entry->second;
    const auto first = value.find_first_not_of(" \t");
    value = first == std::string_view::npos
                ? std::string_view()
                : value.substr(first, value.find_last_not_of(" \t") - first + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

AwaySettings ReadBack(const std::map<std::string, std::string>& file) {
    AwaySettings settings =
        ParseAwaySettings(ProfileRead(file, "AUTOAWAY"), ProfileRead(file, "AUTOREASON"),
                          ProfileRead(file, "REPORTMINUTES"), ProfileRead(file, "AWAYLOG"));
    settings.look = ParseLookSettings(ProfileRead(file, "FADE"), ProfileRead(file, "WAVY"),
                                      ProfileRead(file, "FONT"));
    return settings;
}

void Apply(std::map<std::string, std::string>& file, const std::vector<EntryChange>& changes) {
    for (const EntryChange& change : changes) {
        if (change.value) {
            file[std::string(change.key)] = *change.value;
        } else {
            file.erase(std::string(change.key));
        }
    }
}

// From settings a file gave, the fields typed over as the user types them:
// only what differs is written, a default removes its entry, and the file
// then reads back as the settings chosen.
TEST(SettingsFieldsTest, ChangedEntriesRewriteOnlyWhatDiffersAndReadBackAsChosen) {
    const AwaySettings custom = {
        .auto_away_minutes = 10,
        .auto_reason = "lunch",
        .report_minutes = 5,
        .look = {.fade = {0x0000FF, 0x00FFFF}, .wavy = true, .face = "Comic Sans MS"},
        .away_log = true};
    AwaySettings plain_spelled_out;
    plain_spelled_out.look = {.fade = {kPlainFadeColours.begin(), kPlainFadeColours.end()},
                              .face = "Arial Narrow"};
    using Changes = std::vector<EntryChange>;
    struct Case {
        std::string name;
        AwaySettings before;
        std::function<void(SettingsFields&)> type;
        Changes changes;
    };
    std::vector<Case> cases = {
        {"the defaults as shown", {}, [](SettingsFields&) {}, {}},
        {"other settings as shown", custom, [](SettingsFields&) {}, {}},
        {"the plain look spelled out in the file", plain_spelled_out, [](SettingsFields&) {}, {}},
        {"the same values typed another way",
         custom,
         [](SettingsFields& f) {
             f.colours = "#ff0000,#ffff00";
             f.face = " Comic Sans MS ";
             f.auto_away = "010";
             f.report = " 5";
         },
         {}},
        {"everything from the defaults",
         {},
         [](SettingsFields& f) {
             f = {.colours = "#FF0000,#ffff00 , #0000FF",
                  .wavy = true,
                  .face = "Comic Sans MS",
                  .auto_away = "15",
                  .reason = "at lunch",
                  .report = "7",
                  .away_log = true};
         },
         {{"FADE", "Colours", "#FF0000, #FFFF00, #0000FF"},
          {"WAVY", "Wave", "1"},
          {"FONT", "Font", "Comic Sans MS"},
          {"AUTOAWAY", "Auto-away after", "15"},
          {"AUTOREASON", "Reason", "at lunch"},
          {"REPORTMINUTES", "Report every", "7"},
          {"AWAYLOG", "Away log", "1"}}},
        {"everything back to the defaults, typed as the user would",
         custom,
         [](SettingsFields& f) {
             f = {.colours = "#004040,#00ffff",
                  .face = "Arial Narrow",
                  .auto_away = "0",
                  .reason = "auto-away",
                  .report = "1"};
         },
         {{"FADE", "Colours", std::nullopt},
          {"WAVY", "Wave", std::nullopt},
          {"FONT", "Font", std::nullopt},
          {"AUTOAWAY", "Auto-away after", std::nullopt},
          {"AUTOREASON", "Reason", std::nullopt},
          {"REPORTMINUTES", "Report every", std::nullopt},
          {"AWAYLOG", "Away log", std::nullopt}}},
        {"a face in quotes",
         {},
         [](SettingsFields& f) { f.face = "'Mono'"; },
         Changes{{"FONT", "Font", "\"'Mono'\""}}},
    };
    // A reason goes in quotes where a read would take its end blanks or its
    // own quotes away.
    const std::pair<std::string, std::string> reasons[] = {
        {"", ""},
        {" brb", "\" brb\""},
        {"brb\t", "\"brb\t\""},
        {"brb\r\n", "\"brb  \""},
        {"\"brb\"", "\"\"brb\"\""},
        {"'brb'", "\"'brb'\""},
        {"auto-away ", "\"auto-away \""},
    };
    for (const auto& [typed, stored] : reasons) {
        cases.push_back({"reason [" + typed + "]",
                         {},
                         [typed](SettingsFields& f) { f.reason = typed; },
                         {{"AUTOREASON", "Reason", stored}}});
    }
    for (const auto& c : cases) {
        SettingsFields fields = FieldsShowing(c.before);
        c.type(fields);
        const auto read = SettingsFromFields(fields);
        ASSERT_TRUE(std::holds_alternative<AwaySettings>(read)) << c.name;
        const AwaySettings& after = std::get<AwaySettings>(read);
        const Changes changes = ChangedEntries(c.before, after);
        EXPECT_EQ(changes, c.changes) << c.name;

        std::map<std::string, std::string> file;
        Apply(file, ChangedEntries({}, c.before));
        Apply(file, changes);
        EXPECT_EQ(Described(ReadBack(file)), Described(after)) << c.name;
    }
}

}  // namespace
}  // namespace lullcast
