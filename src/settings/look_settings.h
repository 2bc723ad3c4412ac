#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/colour.h"
#include "fade/chat_markup.h"

namespace lullcast {

// The user's own look of the chat lines, as the settings file gives it. Every
// default is the program's plain look: the swatches' two colours, no wave,
// "Arial Narrow".
struct LookSettings {
    // Two to eight colours to fade through; empty: the swatches' colours.
    std::vector<Colour> fade;
    bool wavy = false;
    // The face in the font tag; empty: the program's own.
    std::string face;
};

inline constexpr std::size_t kMostFadeColours = 8;
inline constexpr std::size_t kLongestFaceName = 31;

// The look from the entries' texts; nothing for an entry that is absent. A
// value that is not valid leaves its setting at the default. Blanks at either
// end of the face do not count.
[[nodiscard]] LookSettings ParseLookSettings(const std::optional<std::string>& fade,
                                             const std::optional<std::string>& wavy,
                                             const std::optional<std::string>& font);

// The items of a colour list: the texts between its commas, each without the
// blanks at its ends; one, empty, for a text without a comma or a character.
[[nodiscard]] std::vector<std::string_view> FadeColourItems(std::string_view text);

// Two to eight HTML colours separated by commas, blanks around each allowed;
// nothing when any of them is not one or the count is out of range.
[[nodiscard]] std::optional<std::vector<Colour>> ParseFadeColours(std::string_view text);
// The same, with what is wrong said in words in place of nothing.
[[nodiscard]] std::variant<std::vector<Colour>, std::string> ReadFadeColours(std::string_view text);

// Whether `face` can stand between the quotes of the font tag: 1 to 31
// characters of well-formed UTF-8, none of them a quote, an angle bracket or
// a control character.
[[nodiscard]] bool IsFaceName(std::string_view face);
// What keeps `face` from being one, in words; empty when it is one.
[[nodiscard]] std::string_view FaceNameProblem(std::string_view face);

}  // namespace lullcast
