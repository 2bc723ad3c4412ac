#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/colour.h"

namespace lullcast::detail {

// `prefix` followed by FadeText's markup of `text`, built in one string sized
// exactly up front, so that a caller that puts a tag in front of the fade
// (the chat line) allocates once instead of concatenating two strings.
[[nodiscard]] std::string PrefixedFadeText(std::string_view prefix, std::span<const Colour> colours,
                                           std::string_view text, bool wavy);

}  // namespace lullcast::detail
