#include "settings/away_settings.h"
#include "settings/profile_away_settings.h"
#include "settings/profile_handle_store.h"

namespace lullcast {

AwaySettings LoadAwaySettings(const std::wstring& path) {
    constexpr std::string_view kSection = "LullCast";
    AwaySettings settings = ParseAwaySettings(
        ReadIniEntry(kSection, "AUTOAWAY", path), ReadIniEntry(kSection, "AUTOREASON", path),
        ReadIniEntry(kSection, "REPORTMINUTES", path), ReadIniEntry(kSection, "AWAYLOG", path));
    settings.look = ParseLookSettings(ReadIniEntry(kSection, "FADE", path),
                                      ReadIniEntry(kSection, "WAVY", path),
                                      ReadIniEntry(kSection, "FONT", path));
    return settings;
}

}  // namespace lullcast
