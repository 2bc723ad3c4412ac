#include "settings/settings_fields.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "core/blanks.h"
#include "fade/utf8.h"
#include "settings/look_settings.h"

namespace lullcast {
namespace {

std::string Problem(std::string_view name, std::string_view text) {
    std::string problem(name);
    problem.append(": ").append(text).append(".");
    return problem;
}

// The UTF-16 units of well-formed UTF-8 text, as the profile functions count
// a value: a character beyond the Basic Multilingual Plane takes two.
std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = std::max<std::size_t>(Utf8SequenceLength(text, pos), 1);
        units += length == 4 ? 2 : 1;
        pos += length;
    }
    return units;
}

// A text as the settings file holds it. A profile read drops the blanks at
// either end of a value and one pair of quote marks around it; a value in
// quotes keeps both. A face can be in single quotes too.
std::string StoredText(std::string_view text) {
    const bool blank_at_an_end = !text.empty() && (TrimmedBlanks(text).size() != text.size());
    const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                        text.back() == text.front();
    if (blank_at_an_end || quoted) {
        std::string stored = "\"";
        stored.append(text).append("\"");
        return stored;
    }
    return std::string(text);
}

std::string NumberText(int value) { return std::to_string(value); }

std::span<const Colour> ColoursInEffect(const LookSettings& look) {
    if (look.fade.size() >= 2) {
        return look.fade;
    }
    return kPlainFadeColours;
}

}  // namespace

std::string FadeColoursText(std::span<const Colour> colours) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text;
    for (const Colour colour : colours) {
        if (!text.empty()) {
            text += ", ";
        }
        // Red first, as HTML writes it; the colour value keeps red lowest.
        const std::array<unsigned, 3> channels = {colour & 0xFFU, (colour >> 8U) & 0xFFU,
                                                  (colour >> 16U) & 0xFFU};
        text += '#';
        for (const unsigned channel : channels) {
            text += kDigits[channel >> 4U];
            text += kDigits[channel & 0xFU];
        }
    }
    return text;
}

SettingsFields FieldsShowing(const AwaySettings& settings) {
    return {
        .colours = FadeColoursText(ColoursInEffect(settings.look)),
        .wavy = settings.look.wavy,
        .face = settings.look.face.empty() ? std::string(kPlainFace) : settings.look.face,
        .auto_away = NumberText(settings.auto_away_minutes.value_or(0)),
        .reason = settings.auto_reason,
        .report = NumberText(settings.report_minutes),
        .away_log = settings.away_log,
    };
}

std::variant<AwaySettings, FieldProblem> SettingsFromFields(const SettingsFields& fields) {
    AwaySettings settings;
    auto colours = ReadFadeColours(TrimmedBlanks(fields.colours));
    if (auto* const problem = std::get_if<std::string>(&colours)) {
        return FieldProblem{SettingsField::kColours, Problem("Colours", *problem)};
    }
    settings.look.fade = std::get<std::vector<Colour>>(std::move(colours));
    if (std::ranges::equal(settings.look.fade, kPlainFadeColours)) {
        settings.look.fade.clear();
    }
    settings.look.wavy = fields.wavy;

    const std::string_view face = TrimmedBlanks(fields.face);
    if (const std::string_view problem = FaceNameProblem(face); !problem.empty()) {
        return FieldProblem{SettingsField::kFace, Problem("Font", problem)};
    }
    settings.look.face = face == kPlainFace ? std::string() : std::string(face);

    const auto auto_away =
        WholeNumberIn(TrimmedBlanks(fields.auto_away), 0, kLongestAutoAwayMinutes);
    if (!auto_away) {
        return FieldProblem{
            SettingsField::kAutoAway,
            Problem("Auto-away after", "a whole number of minutes from 0 (off) to 1440")};
    }
    if (*auto_away > 0) {
        settings.auto_away_minutes = auto_away;
    }

    settings.auto_reason = OnOneLine(fields.reason);
    if (Utf16Length(StoredText(settings.auto_reason)) > kLongestEntryValue) {
        return FieldProblem{
            SettingsField::kReason,
            Problem("Reason", "too long: the settings file keeps at most 749 characters")};
    }

    const auto report = WholeNumberIn(TrimmedBlanks(fields.report), 1, kLongestReportMinutes);
    if (!report) {
        return FieldProblem{SettingsField::kReport,
                            Problem("Report every", "a whole number of minutes from 1 to 60")};
    }
    settings.report_minutes = *report;
    settings.away_log = fields.away_log;
    return settings;
}

std::vector<EntryChange> ChangedEntries(const AwaySettings& before, const AwaySettings& after) {
    std::vector<EntryChange> changes;
    const auto change = [&changes](std::string_view key, std::string_view name, bool differs,
                                   bool is_default, std::string value) {
        if (differs) {
            changes.push_back(
                {key, name,
                 is_default ? std::nullopt : std::optional<std::string>(std::move(value))});
        }
    };
    const LookSettings& was = before.look;
    const LookSettings& is = after.look;
    change("FADE", "Colours", !std::ranges::equal(ColoursInEffect(was), ColoursInEffect(is)),
           std::ranges::equal(ColoursInEffect(is), kPlainFadeColours),
           FadeColoursText(ColoursInEffect(is)));
    change("WAVY", "Wave", was.wavy != is.wavy, !is.wavy, "1");
    const auto face_of = [](const LookSettings& look) {
        return look.face.empty() ? kPlainFace : std::string_view(look.face);
    };
    change("FONT", "Font", face_of(was) != face_of(is), face_of(is) == kPlainFace,
           StoredText(face_of(is)));
    change("AUTOAWAY", "Auto-away after", before.auto_away_minutes != after.auto_away_minutes,
           !after.auto_away_minutes, NumberText(after.auto_away_minutes.value_or(0)));
    change("AUTOREASON", "Reason", before.auto_reason != after.auto_reason,
           after.auto_reason == kPlainAutoReason, StoredText(after.auto_reason));
    change("REPORTMINUTES", "Report every", before.report_minutes != after.report_minutes,
           after.report_minutes == 1, NumberText(after.report_minutes));
    change("AWAYLOG", "Away log", before.away_log != after.away_log, !after.away_log, "1");
    return changes;
}

}  // namespace lullcast
