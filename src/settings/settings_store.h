#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lullcast {

// Where the optional settings are kept between runs: the entries of the
// settings file, and whether the program starts when the user logs on.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // Writes `value` as the entry `key` of the program's section, or removes
    // the entry when there is no value. False when the file could not be
    // written.
    [[nodiscard]] virtual bool WriteEntry(std::string_view key,
                                          const std::optional<std::string>& value) = 0;

    // Whether the user's logon starts this program (and not another copy).
    [[nodiscard]] virtual bool StartsWithWindows() = 0;
    // False when the setting could not be changed.
    [[nodiscard]] virtual bool SetStartWithWindows(bool on) = 0;

  protected:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = default;
    SettingsStore& operator=(const SettingsStore&) = default;
    SettingsStore(SettingsStore&&) = default;
    SettingsStore& operator=(SettingsStore&&) = default;
};

// For a program without a settings file: nothing is kept, every write fails.
class NoSettingsStore final : public SettingsStore {
  public:
    [[nodiscard]] bool WriteEntry(std::string_view /*key*/,
                                  const std::optional<std::string>& /*value*/) override {
        return false;
    }
    [[nodiscard]] bool StartsWithWindows() override { return false; }
    [[nodiscard]] bool SetStartWithWindows(bool /*on*/) override { return false; }
};

}  // namespace lullcast
