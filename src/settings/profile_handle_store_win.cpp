// The settings file goes through the wide (W) profile functions, with the
// path in UTF-16. The narrow (A) functions would need the path in the ANSI
// code page, which cannot name a folder called, say, "Ωμέγα" on a Western
// system; an 8.3 short name would dodge that only where the volume keeps
// short names, which many no longer do. A file without a byte-order mark
// stays what earlier versions of the program wrote and read, INI text in the
// ANSI code page: the W functions convert each value to and from that code
// page themselves, and they create a new file without one. A file saved as
// UTF-16 (with its byte-order mark, as Windows' editor saves "Unicode") is
// read and written as UTF-16 by the same functions, and holds any character.
//
// For an ANSI file the W functions would convert a character that the code
// page lacks to a look-alike ("Ω" to "O", "ā" to "a"), which would store a
// different handle that looks right. So a value bound for such a file first
// passes through the code page here, without look-alikes, and every character
// the code page cannot hold arrives in the file as "?". A value bound for a
// UTF-16 file goes as it is.

#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "core/text_win.h"
#include "settings/away_settings.h"
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

// Whether the file starts with the UTF-16 little-endian byte-order mark.
// Read with kernel32 itself: a C++ file stream would pull the C runtime's
// whole stream machinery into the program for two bytes.
bool IsUtf16File(const std::wstring& path) {
    auto* const file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::unique_ptr<void, decltype(&CloseHandle)> closer(file, &CloseHandle);
    std::array<unsigned char, 2> start{};
    DWORD count = 0;
    return ReadFile(file, start.data(), static_cast<DWORD>(start.size()), &count, nullptr) != 0 &&
           count == start.size() && start[0] == 0xFF && start[1] == 0xFE;
}

// Given as the default of a read, it tells an absent entry from an empty one:
// a value read from the file cannot hold the line feed.
constexpr std::wstring_view kAbsent = L"\n(absent)";

}  // namespace

// The buffer grows until the name fits, since it may be longer than MAX_PATH.
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

std::wstring SettingsPath() {
    const std::wstring program = ProgramFileName();
    const std::size_t last_backslash = program.rfind(L'\\');
    if (last_backslash == std::wstring::npos) {
        return {};
    }
    return program.substr(0, last_backslash) + std::wstring(kSettingsFileName);
}

std::string ReadIniValue(std::string_view section, std::string_view key, const std::wstring& path) {
    return ReadIniEntry(section, key, path).value_or("");
}

std::optional<std::string> ReadIniEntry(std::string_view section, std::string_view key,
                                        const std::wstring& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    std::wstring buffer(kReadCapacity, L'\0');
    const std::wstring absent(kAbsent);
    const DWORD count =
        GetPrivateProfileStringW(WidenUtf8(section).c_str(), WidenUtf8(key).c_str(), absent.c_str(),
                                 buffer.data(), kReadCapacity, path.c_str());
    buffer.resize(std::min<std::size_t>(count, buffer.size()));
    if (buffer == absent) {
        return std::nullopt;
    }
    return NarrowToUtf8(buffer);
}

bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::wstring& path) {
    if (path.empty()) {
        return false;
    }
    const std::string line = OnOneLine(value);
    const std::wstring stored_value =
        IsUtf16File(path) ? WidenUtf8(line) : AsTheCodePageHoldsIt(line);
    return WritePrivateProfileStringW(WidenUtf8(section).c_str(), WidenUtf8(key).c_str(),
                                      stored_value.c_str(), path.c_str()) != FALSE;
}

ProfileHandleStore::ProfileHandleStore(std::wstring settings_path)
    : settings_path_(std::move(settings_path)) {}

std::string ProfileHandleStore::LoadHandle() {
    return ReadIniValue(kHandleSection, kHandleKeyToRead, CurrentSettingsPath());
}

void ProfileHandleStore::SaveHandle(std::string_view handle) {
    // A failed write goes unnoticed: the window keeps the handle for this run.
    static_cast<void>(
        WriteIniValue(kHandleSection, kHandleKeyToWrite, handle, CurrentSettingsPath()));
}

std::wstring ProfileHandleStore::CurrentSettingsPath() const {
    return settings_path_.has_value() ? *settings_path_ : SettingsPath();
}

}  // namespace lullcast
