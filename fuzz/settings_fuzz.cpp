// Entries of info.ini and the dialog's fields from any bytes: each value is
// read as a plain reference reads it; the fields shown from settings read back
// as those settings; no change rewrites nothing; and the entries that a change
// rewrites, written into the file that gave the old settings, read back as the
// new ones.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "check.h"
#include "core/colour.h"
#include "plain_utf8.h"
#include "settings/away_settings.h"
#include "settings/look_settings.h"
#include "settings/settings_fields.h"

namespace lullcast {
namespace {

using fuzz::Check;
using Text = std::optional<std::string>;
using File = std::map<std::string, std::string>;

// ---- The reference: each rule of the settings, read the plain way ----

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Decimal digits only, compared without leading zeros.
std::optional<int> PlainWholeNumber(std::string_view text, int lowest, int highest) {
    if (text.empty() || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    if (text.size() > 9) return std::nullopt;
    const int value = std::stoi(std::string(text));
    return value >= lowest && value <= highest ? std::optional<int>(value) : std::nullopt;
}

// Two to eight colours between commas, each six hex digits after an optional
// '#', red first.
std::optional<std::vector<Colour>> PlainColours(std::string_view text) {
    std::vector<Colour> colours;
    for (std::size_t start = 0, comma = 0; comma != std::string_view::npos; start = comma + 1) {
        comma = text.find(',', start);
        std::string_view colour = Trimmed(text.substr(start, comma - start));
        if (colour.starts_with('#')) colour.remove_prefix(1);
        if (colour.size() != 6 || !std::ranges::all_of(colour, [](char c) {
                return std::isxdigit(static_cast<unsigned char>(c)) != 0;
            })) {
            return std::nullopt;
        }
        const unsigned long rgb = std::stoul(std::string(colour), nullptr, 16);
        colours.push_back(MakeColour(static_cast<std::uint8_t>(rgb >> 16U),
                                     static_cast<std::uint8_t>(rgb >> 8U),
                                     static_cast<std::uint8_t>(rgb)));
    }
    if (colours.size() < 2 || colours.size() > 8) return std::nullopt;
    return colours;
}

bool PlainFace(std::string_view face) {
    if (!plain::IsWellFormed(face)) return false;
    const std::u32string points = plain::CodePoints(face);
    return !points.empty() && points.size() <= 31 && std::ranges::none_of(points, [](char32_t c) {
        return c == '"' || c == '<' || c == '>' || c < 0x20 || (c >= 0x7F && c <= 0x9F);
    });
}

// A value as the profile functions read it: without the blanks at either
// end, then without one pair of quote marks around it.
Text ProfileRead(const File& file, const std::string& key) {
    const auto entry = file.find(key);
    if (entry == file.end()) return std::nullopt;
    std::string_view value = Trimmed(entry->second);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// A reason on one line: its line breaks as blanks.
std::string OnOneLine(std::string reason) {
    std::ranges::replace(reason, '\r', ' ');
    std::ranges::replace(reason, '\n', ' ');
    return reason;
}

// The default spelled out is the same as no setting.
AwaySettings Plain(AwaySettings settings) {
    if (std::ranges::equal(settings.look.fade, kPlainFadeColours)) settings.look.fade.clear();
    if (settings.look.face == kPlainFace) settings.look.face.clear();
    return settings;
}

bool Same(const AwaySettings& one, const AwaySettings& other) {
    return one.auto_away_minutes == other.auto_away_minutes &&
           one.auto_reason == other.auto_reason && one.report_minutes == other.report_minutes &&
           one.away_log == other.away_log && one.look.fade == other.look.fade &&
           one.look.wavy == other.look.wavy && one.look.face == other.look.face;
}

// ---- The code under test, read as the program reads the file ----

AwaySettings Read(const File& file) {
    AwaySettings settings =
        ParseAwaySettings(ProfileRead(file, "AUTOAWAY"), ProfileRead(file, "AUTOREASON"),
                          ProfileRead(file, "REPORTMINUTES"), ProfileRead(file, "AWAYLOG"));
    settings.look = ParseLookSettings(ProfileRead(file, "FADE"), ProfileRead(file, "WAVY"),
                                      ProfileRead(file, "FONT"));
    return settings;
}

// Each entry of the file read as the reference reads it.
void CheckEntries(const File& file, const AwaySettings& read) {
    const auto value = [&file](const char* key) { return ProfileRead(file, key); };
    const Text auto_away = value("AUTOAWAY");
    Check(read.auto_away_minutes ==
              (auto_away ? PlainWholeNumber(*auto_away, 1, 1440) : std::nullopt),
          "AUTOAWAY: a whole number from 1 to 1440");
    const Text report = value("REPORTMINUTES");
    Check(read.report_minutes == (report ? PlainWholeNumber(*report, 1, 60) : 1).value_or(1),
          "REPORTMINUTES: a whole number from 1 to 60, else 1");
    Check(read.auto_reason == OnOneLine(value("AUTOREASON").value_or("auto-away")),
          "AUTOREASON: the value on one line");
    Check(read.away_log == (value("AWAYLOG") == "1"), "AWAYLOG: on for 1 only");
    Check(read.look.wavy == (value("WAVY") == "1"), "WAVY: on for 1 only");
    const Text fade = value("FADE");
    Check(read.look.fade ==
              (fade ? PlainColours(*fade) : std::nullopt).value_or(std::vector<Colour>{}),
          "FADE: two to eight colours, or none");
    if (fade) {
        Check(std::holds_alternative<std::string>(ReadFadeColours(*fade)) !=
                  PlainColours(*fade).has_value(),
              "FADE: a problem exactly when not valid");
    }
    const Text face = value("FONT");
    const std::string trimmed_face(Trimmed(face.value_or("")));
    Check(read.look.face == (PlainFace(trimmed_face) ? trimmed_face : ""),
          "FONT: a face of 1 to 31 characters, its end blanks dropped");
    if (face) {
        Check(FaceNameProblem(*face).empty() == PlainFace(*face),
              "FONT: a problem exactly when not valid");
    }
}

// What the fields give, by the reference: the settings, or the first field
// that is wrong in the dialog's order.
std::variant<AwaySettings, SettingsField> PlainFromFields(const SettingsFields& fields) {
    AwaySettings settings;
    const auto colours = PlainColours(Trimmed(fields.colours));
    if (!colours) return SettingsField::kColours;
    settings.look.fade = *colours;
    settings.look.wavy = fields.wavy;
    if (!PlainFace(Trimmed(fields.face))) return SettingsField::kFace;
    settings.look.face = Trimmed(fields.face);
    const auto auto_away = PlainWholeNumber(Trimmed(fields.auto_away), 0, 1440);
    if (!auto_away) return SettingsField::kAutoAway;
    if (*auto_away > 0) settings.auto_away_minutes = auto_away;
    settings.auto_reason = OnOneLine(fields.reason);
    const auto report = PlainWholeNumber(Trimmed(fields.report), 1, 60);
    if (!report) return SettingsField::kReport;
    settings.report_minutes = *report;
    settings.away_log = fields.away_log;
    return Plain(settings);
}

// A file's line holds no line break; the reasons stay well within what a
// profile read gives.
std::string Value(FuzzedDataProvider& input) {
    std::string value = input.ConsumeRandomLengthString(120);
    std::erase_if(value, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    return value;
}

File SomeFile(FuzzedDataProvider& input) {
    File file;
    for (const char* key :
         {"AUTOAWAY", "AUTOREASON", "REPORTMINUTES", "AWAYLOG", "FADE", "WAVY", "FONT"}) {
        if (input.ConsumeBool()) file[key] = Value(input);
    }
    return file;
}

}  // namespace
}  // namespace lullcast

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lullcast;
    FuzzedDataProvider input(data, size);
    File file = SomeFile(input);
    const AwaySettings before = Read(file);
    CheckEntries(file, before);

    // Shown in the dialog and taken back unchanged.
    const auto shown = SettingsFromFields(FieldsShowing(before));
    Check(std::holds_alternative<AwaySettings>(shown) &&
              Same(std::get<AwaySettings>(shown), Plain(before)),
          "the fields shown from settings read back as those settings");
    Check(ChangedEntries(before, before).empty(), "no change rewrites nothing");

    // Fields as the user types them.
    SettingsFields typed = FieldsShowing(before);
    for (std::string* field :
         {&typed.colours, &typed.face, &typed.auto_away, &typed.reason, &typed.report}) {
        if (input.ConsumeBool()) *field = input.ConsumeRandomLengthString(120);
    }
    typed.wavy = input.ConsumeBool() ? !typed.wavy : typed.wavy;
    typed.away_log = input.ConsumeBool() ? !typed.away_log : typed.away_log;
    const auto after = SettingsFromFields(typed);
    const auto plain_after = PlainFromFields(typed);
    if (const auto* problem = std::get_if<FieldProblem>(&after)) {
        Check(std::holds_alternative<SettingsField>(plain_after) &&
                  std::get<SettingsField>(plain_after) == problem->field,
              "the field named is the first that is not valid");
        return 0;
    }
    const AwaySettings& chosen = std::get<AwaySettings>(after);
    Check(std::holds_alternative<AwaySettings>(plain_after) &&
              Same(chosen, std::get<AwaySettings>(plain_after)),
          "the fields give the settings they spell");

    for (const EntryChange& change : ChangedEntries(before, chosen)) {
        if (change.value) {
            file[std::string(change.key)] = *change.value;
        } else {
            file.erase(std::string(change.key));
        }
    }
    Check(Same(Plain(Read(file)), chosen), "the rewritten file reads back as the settings chosen");
    return 0;
}
