#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/handle_store.h"

// The settings file "info.ini" beside the program, read and written through
// the profile functions of Windows. Only the Windows build has them: nothing
// here is defined in a native build. Paths are UTF-16, as the W profile
// functions take them.

namespace lullcast {

// The settings file: the folder that holds the program, then "\info.ini".
// Formed anew at every call. Empty when the program's own file name cannot be
// found, and then the operations below neither read nor write anything.
[[nodiscard]] std::wstring SettingsPath();

// The program's own file name, or the empty text when it cannot be found.
[[nodiscard]] std::wstring ProgramFileName();

// The value of `key` in `section` of the settings file at `path`, section and
// key matched without regard to case; the empty text when the file, the
// section or the key is missing. At most 749 characters come back: a longer
// value is cut. Blanks at either end and quote marks around the value are
// dropped by the profile functions. Texts are UTF-8.
[[nodiscard]] std::string ReadIniValue(std::string_view section, std::string_view key,
                                       const std::wstring& path);

// The same, but nothing when the file, the section or the key is missing, so
// that an entry with an empty value can be told from no entry.
[[nodiscard]] std::optional<std::string> ReadIniEntry(std::string_view section,
                                                      std::string_view key,
                                                      const std::wstring& path);

// Stores `value` under `key` in `section`, creating the file, the section or
// the entry as needed and replacing the value of an existing entry in place.
// Every carriage return and line feed in `value` is stored as a blank, since a
// line break would start new entries or sections in the file. Characters that
// the system's ANSI code page cannot hold are stored as "?", unless the file is
// UTF-16 (it starts with the byte-order mark FF FE), which keeps them all.
// False when the file could not be written.
bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::wstring& path);

// The handle as entry "handle" of section "LullCast" in the settings file.
class ProfileHandleStore final : public HandleStore {
  public:
    // The settings file beside the program (`SettingsPath`).
    ProfileHandleStore() = default;

    // The settings file at `settings_path` instead.
    explicit ProfileHandleStore(std::wstring settings_path);

    [[nodiscard]] std::string LoadHandle() override;
    void SaveHandle(std::string_view handle) override;

  private:
    [[nodiscard]] std::wstring CurrentSettingsPath() const;

    // Empty for the file beside the program.
    std::optional<std::wstring> settings_path_;
};

}  // namespace lullcast
