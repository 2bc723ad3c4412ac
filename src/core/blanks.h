#pragma once

#include <cstddef>
#include <string_view>

namespace lullcast {

// `text` without the blanks (spaces and tabs) at either end.
[[nodiscard]] constexpr std::string_view TrimmedBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace lullcast
