#include <windows.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "settings/scratch_folder.h"

namespace lullcast {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::wstring TempFolder() {
    std::wstring folder(MAX_PATH + 1, L'\0');
    const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    folder.resize(length);
    return folder;
}

std::filesystem::path CreateUniqueFolder(std::wstring_view name_ending) {
    static unsigned serial = 0;
    const std::wstring base =
        TempFolder() + L"lullcast-settings-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    while (true) {
        const std::wstring folder = base + std::to_wstring(++serial) + std::wstring(name_ending);
        if (CreateDirectoryW(folder.c_str(), nullptr) != FALSE) {
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return {};
        }
    }
}

std::wstring ThisProgram() {
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return name;
}

}  // namespace

ScratchFolder::ScratchFolder(std::wstring_view name_ending)
    : path_(CreateUniqueFolder(name_ending)) {}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return "(no file)";
    }
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream stream(file, std::ios::binary);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

unsigned AnsiCodePage() { return GetACP(); }

long RunCopyOfThisProgram(const std::filesystem::path& folder, std::wstring_view arguments) {
    const std::filesystem::path original = ThisProgram();
    const std::filesystem::path copy = folder / original.filename();
    if (CopyFileW(original.c_str(), copy.c_str(), TRUE) == FALSE) {
        return -1;
    }
    std::wstring command_line = L"\"" + copy.native() + L"\" " + std::wstring(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (CreateProcessW(copy.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &started) == FALSE) {
        return -1;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    constexpr DWORD kOneMinute = 60'000;
    DWORD exit_code = 0;
    if (WaitForSingleObject(process.get(), kOneMinute) != WAIT_OBJECT_0 ||
        GetExitCodeProcess(process.get(), &exit_code) == FALSE) {
        TerminateProcess(process.get(), 1);
        return -1;
    }
    return static_cast<long>(exit_code);
}

}  // namespace lullcast
