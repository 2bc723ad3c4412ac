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
#include <climits>
#include <utility>

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

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) {
        return {};
    }
    const int utf8_length = static_cast<int>(utf8.size());
    const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8_length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8_length, wide.data(), wide_length);
    return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int wide_length = static_cast<int>(wide.size());
    const int utf8_length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(utf8_length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, utf8.data(), utf8_length, nullptr,
                        nullptr);
    return utf8;
}

bool IsSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

bool IsPair(wchar_t high, wchar_t low) { return high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF; }

// No ANSI code page holds a character beyond the Basic Multilingual Plane, and
// converted as it stands its two UTF-16 halves would give two "?".
std::wstring OneMarkPerAstralCharacter(std::wstring_view wide) {
    std::wstring marked;
    marked.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (!IsSurrogate(wide[i])) {
            marked.push_back(wide[i]);
            continue;
        }
        marked.push_back(L'?');
        if (i + 1 < wide.size() && IsPair(wide[i], wide[i + 1])) {
            ++i;
        }
    }
    return marked;
}

std::string WideToAnsi(std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int wide_length = static_cast<int>(wide.size());
    const int ansi_length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                wide_length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(ansi_length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, ansi.data(),
                        ansi_length, nullptr, nullptr);
    return ansi;
}

std::wstring AnsiToWide(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > INT_MAX) {
        return {};
    }
    const int ansi_length = static_cast<int>(ansi.size());
    const int wide_length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansi_length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansi_length, wide.data(), wide_length);
    return wide;
}

// The text as the settings file will hold it: each character the ANSI code
// page lacks replaced by "?".
std::wstring AsTheCodePageHoldsIt(std::wstring_view wide) {
    if (GetACP() == CP_UTF8) {
        return std::wstring(wide);  // holds every character
    }
    return AnsiToWide(WideToAnsi(OneMarkPerAstralCharacter(wide)));
}

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
    const DWORD count =
        GetPrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(), L"",
                                 buffer.data(), kReadCapacity, path.c_str());
    buffer.resize(std::min<std::size_t>(count, buffer.size()));
    return WideToUtf8(buffer);
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::filesystem::path& path) {
    if (path.empty()) {
        return;
    }
    const std::wstring stored_value = AsTheCodePageHoldsIt(Utf8ToWide(OnOneLine(value)));
    WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
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
