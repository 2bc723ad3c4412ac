#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/colour.h"
#include "fade/announcer.h"
#include "settings/away_settings.h"

// The settings dialog's side of the settings: the values as the user reads
// and types them, checked by the same rules as the settings file, and the
// entries of the file that a change of them rewrites.

namespace lullcast {

// Every optional setting as the dialog shows it: texts for what is typed,
// flags for what is ticked.
struct SettingsFields {
    std::string colours;  // "#004040, #00FFFF"
    bool wavy = false;
    std::string face;       // "Arial Narrow"
    std::string auto_away;  // minutes, "0": off
    std::string reason;
    std::string report;  // minutes
    bool away_log = false;

    friend bool operator==(const SettingsFields&, const SettingsFields&) = default;
};

// The fields that can hold a value that is not valid.
enum class SettingsField { kColours, kFace, kAutoAway, kReason, kReport };

// What is wrong with a field, said so that the user can mend it.
struct FieldProblem {
    SettingsField field;
    std::string text;

    friend bool operator==(const FieldProblem&, const FieldProblem&) = default;
};

// One entry of the settings file to rewrite: its key, the name the dialog
// gives the setting, and its new text; nothing removes the entry.
struct EntryChange {
    std::string_view key;
    std::string_view name;
    std::optional<std::string> value;

    friend bool operator==(const EntryChange&, const EntryChange&) = default;
};

// The colours every line fades through unless the user has a list of their
// own: from dark teal to cyan, the swatches' two colours.
inline constexpr std::array<Colour, 2> kPlainFadeColours = {MakeColour(0, 64, 64),
                                                            MakeColour(0, 255, 255)};
inline constexpr std::string_view kPlainFace = kChatFontFace;
inline constexpr std::string_view kPlainAutoReason = "auto-away";

// A profile read gives at most this many UTF-16 units of a value.
inline constexpr std::size_t kLongestEntryValue = 749;

// The colours as the FADE entry writes them: "#RRGGBB" each, red first,
// joined by ", ".
[[nodiscard]] std::string FadeColoursText(std::span<const Colour> colours);

// The fields that show `settings`, the built-in default where a setting has
// none of its own.
[[nodiscard]] SettingsFields FieldsShowing(const AwaySettings& settings);

// The settings that `fields` spell, with a default spelled out (the plain
// colours, "Arial Narrow") held as no setting of its own; or what is wrong
// with the first field, in the order the dialog shows them, that does not
// spell a valid value. Blanks at either end of a text do not count, as in
// the settings file.
[[nodiscard]] std::variant<AwaySettings, FieldProblem> SettingsFromFields(
    const SettingsFields& fields);

// The entries to rewrite so that a settings file that gave `before` gives
// `after`: only the settings that differ, each back at its default removed.
[[nodiscard]] std::vector<EntryChange> ChangedEntries(const AwaySettings& before,
                                                      const AwaySettings& after);

}  // namespace lullcast
