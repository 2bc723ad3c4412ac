#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace lullcast {

// The optional settings as entries of section "LullCast" in the settings file,
// through the same profile functions as the handle, and the start at logon as
// the value "Lull-Cast" under the user's Run key. Windows build only.
class ProfileSettingsStore final : public SettingsStore {
  public:
    // `settings_path`: the settings file; `program_path`: the program that
    // the user's logon starts.
    ProfileSettingsStore(std::wstring settings_path, std::wstring program_path);

    [[nodiscard]] bool WriteEntry(std::string_view key,
                                  const std::optional<std::string>& value) override;
    [[nodiscard]] bool StartsWithWindows() override;
    [[nodiscard]] bool SetStartWithWindows(bool on) override;

  private:
    // The Run value: the program's full path in quotes, as the system runs
    // a command line.
    [[nodiscard]] std::wstring RunCommand() const;

    std::wstring settings_path_;
    std::wstring program_path_;
};

}  // namespace lullcast
