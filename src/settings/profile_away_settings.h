#pragma once

#include <string>

#include "settings/away_settings.h"

namespace lullcast {

// The entries AUTOAWAY, AUTOREASON, REPORTMINUTES, AWAYLOG, FADE, WAVY and FONT
// of section "LullCast" in the settings file at `path` (read once, at
// start-up), through the same profile functions as the handle. Windows build
// only.
[[nodiscard]] AwaySettings LoadAwaySettings(const std::wstring& path);

}  // namespace lullcast
