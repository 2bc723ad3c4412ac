#include "support/scratch_folder_win.h"

#include <windows.h>

#include <array>
#include <memory>
#include <system_error>

namespace lullcast::testing {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::filesystem::path CreateUniqueFolder(std::wstring_view name_ending) {
    static unsigned serial = 0;
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    const std::wstring base = L"lullcast-test-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    while (!error) {
        std::filesystem::path folder =
            temp / (base + std::to_wstring(++serial) + std::wstring(name_ending));
        if (std::filesystem::create_directory(folder, error)) return folder;
    }
    return {};
}

}  // namespace

ScratchFolder::ScratchFolder(std::wstring_view name_ending)
    : path_(CreateUniqueFolder(name_ending)) {}

ScratchFolder::~ScratchFolder() {
    // A program that has just ended may hold its files a moment longer.
    std::error_code ignored;
    for (int attempt = 0; attempt < 100 && std::filesystem::exists(path_, ignored); ++attempt) {
        if (attempt > 0) Sleep(50);
        std::filesystem::remove_all(path_, ignored);
    }
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
    const UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    std::array<char, 4096> chunk{};
    DWORD read = 0;
    while (ReadFile(handle.get(), chunk.data(), chunk.size(), &read, nullptr) != FALSE &&
           read > 0) {
        bytes.append(chunk.data(), read);
    }
    return bytes;
}

bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes) {
    const UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return handle.get() != INVALID_HANDLE_VALUE &&
           WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) != FALSE &&
           written == bytes.size();
}

long RunThisProgram(std::wstring_view arguments, const std::filesystem::path& folder) {
    std::array<wchar_t, 32768> name{};
    std::filesystem::path program(
        name.data(), name.data() + GetModuleFileNameW(nullptr, name.data(), name.size()));
    if (!folder.empty()) {
        const std::filesystem::path copy = folder / program.filename();
        if (CopyFileW(program.c_str(), copy.c_str(), TRUE) == FALSE) return -1;
        program = copy;
    }
    std::wstring command_line = L"\"" + program.native() + L"\" " + std::wstring(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &started) == FALSE) {
        return -1;
    }
    CloseHandle(started.hThread);
    const UniqueHandle process(started.hProcess);
    DWORD exit_code = 0;
    if (WaitForSingleObject(process.get(), 60'000) != WAIT_OBJECT_0 ||
        GetExitCodeProcess(process.get(), &exit_code) == FALSE) {
        TerminateProcess(process.get(), 1);
        return -1;
    }
    return static_cast<long>(exit_code);
}

}  // namespace lullcast::testing
