#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "core/text_win.h"
#include "settings/profile_handle_store.h"
#include "settings/profile_settings_store.h"

namespace lullcast {
namespace {

constexpr std::string_view kSection = "LullCast";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"Lull-Cast";
constexpr DWORD kUnitBytes = sizeof(wchar_t);

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

UniqueKey OpenRunKey(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, access, &key) != ERROR_SUCCESS) {
        return {};
    }
    return UniqueKey(key);
}

// The Run key, made if a fresh profile lacks it.
UniqueKey CreateRunKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return UniqueKey(key);
}

}  // namespace

ProfileSettingsStore::ProfileSettingsStore(std::wstring settings_path, std::wstring program_path)
    : settings_path_(std::move(settings_path)), program_path_(std::move(program_path)) {}

bool ProfileSettingsStore::WriteEntry(std::string_view key,
                                      const std::optional<std::string>& value) {
    if (value) {
        return WriteIniValue(kSection, key, *value, settings_path_);
    }
    if (settings_path_.empty()) {
        return false;
    }
    // No value removes the entry, and with it the setting's own value.
    return WritePrivateProfileStringW(WidenUtf8(kSection).c_str(), WidenUtf8(key).c_str(), nullptr,
                                      settings_path_.c_str()) != FALSE;
}

std::wstring ProfileSettingsStore::RunCommand() const { return L"\"" + program_path_ + L"\""; }

bool ProfileSettingsStore::StartsWithWindows() {
    const UniqueKey key = OpenRunKey(KEY_QUERY_VALUE);
    if (!key || program_path_.empty()) {
        return false;
    }
    // Room for the longest path in quotes; a longer value names another.
    std::wstring command(32770, L'\0');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(command.size()) * kUnitBytes;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the registry reads bytes
    auto* const buffer = reinterpret_cast<BYTE*>(command.data());
    if (RegQueryValueExW(key.get(), kRunValue, nullptr, &type, buffer, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    command.resize(bytes / kUnitBytes);
    // The stored text may or may not end in its terminator.
    while (!command.empty() && command.back() == L'\0') {
        command.pop_back();
    }
    // Paths on Windows match without regard to case.
    return lstrcmpiW(command.c_str(), RunCommand().c_str()) == 0;
}

bool ProfileSettingsStore::SetStartWithWindows(bool on) {
    if (!on) {
        const UniqueKey key = OpenRunKey(KEY_SET_VALUE);
        if (!key) {
            return RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, nullptr) ==
                   ERROR_FILE_NOT_FOUND;
        }
        const LSTATUS status = RegDeleteValueW(key.get(), kRunValue);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    const UniqueKey key = CreateRunKey();
    if (!key || program_path_.empty()) {
        return false;
    }
    const std::wstring command = RunCommand();
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the registry writes bytes
    const auto* const bytes = reinterpret_cast<const BYTE*>(command.c_str());
    return RegSetValueExW(key.get(), kRunValue, 0, REG_SZ, bytes,
                          (static_cast<DWORD>(command.size()) + 1) * kUnitBytes) == ERROR_SUCCESS;
}

}  // namespace lullcast
