// The settings file goes through the wide (W) profile functions, with the
// path in UTF-16. The narrow (A) functions would need the path in the ANSI
// code page, which cannot name a folder called, say, "Ωμέγα" on a Western
// system; an 8.3 short name would dodge that only where the volume keeps
// short names, which many no longer do. The file itself still stays what
// earlier versions of the program wrote and read, INI text in the ANSI code
// page: for a file without a byte-order mark the W functions convert each
// value to and from that code page themselves, and they create a new file
// without one.
//
// The W functions convert a character that the code page lacks to a
// look-alike ("Ω" to "O", "ā" to "a"), which would store a different handle
// that looks right. So a value first passes through the code page here,
// without look-alikes, and every character the code page cannot hold arrives
// in the file as "?".

#include <windows.h>

#include <algorithm>
#include <utility>

#include "core/text_win.h"
#include "settings/profile_handle_store.h"

namespace lullcast {
namespace {

constexpr std::string_view kHandleSection = "LullCast";
// Section and key names match without regard to case: an entry that the
// program creates is spelled "HANDLE", and "handle" finds it and any other
// spelling.
constexpr std::string_view kHandleKeyToRead = "handle";
constexpr std::string_view kHandleKeyToWrite = "HANDLE";
constexpr std::wstring_view kSettingsFileName = L"\\info.ini";
// Terminator included, so at most 749 characters come back.
constexpr DWORD kReadCapacity = 750;
// The longest path Windows can hand out, terminator included.
constexpr std::size_t kLongestPath = 32768;

// The text as the settings file will hold it: each character the ANSI code
// page lacks replaced by "?".
std::wstring AsTheCodePageHoldsIt(std::string_view utf8) { return WidenAnsi(ToAnsiCodePage(utf8)); }

// Profile files are line-based: a line break inside a value would end the
// entry and make the rest of the value new entries, even new sections.
std::string OnOneLine(std::string_view value) {
    std::string line(value);
    std::replace_if(
        line.begin(), line.end(), [](char byte) { return byte == '\r' || byte == '\n'; }, ' ');
    return line;
}

// The program's own file name, or the empty text. The buffer grows until the
// name fits, since it may be longer than MAX_PATH.
std::wstring ProgramFileName() {
    std::size_t capacity = MAX_PATH;
    while (true) {
        std::wstring name(capacity, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(capacity));
        if (length == 0) {
            return {};
        }
        // A name that does not fit is cut to fill the buffer exactly.
        if (length < capacity) {
            name.resize(length);
            return name;
        }
        if (capacity == kLongestPath) {
            return {};
        }
        capacity = std::min(capacity * 2, kLongestPath);
    }
}

}  // namespace

std::filesystem::path SettingsPath() {
    const std::wstring program = ProgramFileName();
    const std::size_t last_backslash = program.rfind(L'\\');
    if (last_backslash == std::wstring::npos) {
        return {};
    }
    return {program.substr(0, last_backslash) + std::wstring(kSettingsFileName)};
}

std::string ReadIniValue(std::string_view section, std::string_view key,
                         const std::filesystem::path& path) {
    if (path.empty()) {
        return {};
    }
    std::wstring buffer(kReadCapacity, L'\0');
    const DWORD count = GetPrivateProfileStringW(WidenUtf8(section).c_str(), WidenUtf8(key).c_str(),
                                                 L"", buffer.data(), kReadCapacity, path.c_str());
    buffer.resize(std::min<std::size_t>(count, buffer.size()));
    return NarrowToUtf8(buffer);
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::filesystem::path& path) {
    if (path.empty()) {
        return;
    }
    const std::wstring stored_value = AsTheCodePageHoldsIt(OnOneLine(value));
    WritePrivateProfileStringW(WidenUtf8(section).c_str(), WidenUtf8(key).c_str(),
                               stored_value.c_str(), path.c_str());
}

ProfileHandleStore::ProfileHandleStore(std::filesystem::path settings_path)
    : settings_path_(std::move(settings_path)) {}

std::string ProfileHandleStore::LoadHandle() {
    return ReadIniValue(kHandleSection, kHandleKeyToRead, CurrentSettingsPath());
}

void ProfileHandleStore::SaveHandle(std::string_view handle) {
    WriteIniValue(kHandleSection, kHandleKeyToWrite, handle, CurrentSettingsPath());
}

std::filesystem::path ProfileHandleStore::CurrentSettingsPath() const {
    return settings_path_.has_value() ? *settings_path_ : SettingsPath();
}

}  // namespace lullcast
