#include "support/scratch_folder_win.h"

#include <windows.h>

#include <memory>
#include <system_error>

namespace lullcast::testing {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::wstring TempFolder() {
    std::wstring folder(MAX_PATH + 1, L'\0');
    folder.resize(GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

std::filesystem::path CreateUniqueFolder(std::wstring_view name_ending) {
    static unsigned serial = 0;
    const std::wstring base =
        TempFolder() + L"lullcast-test-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    while (true) {
        const std::wstring folder = base + std::to_wstring(++serial) + std::wstring(name_ending);
        if (CreateDirectoryW(folder.c_str(), nullptr) != FALSE) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

}  // namespace

ScratchFolder::ScratchFolder(std::wstring_view name_ending)
    : path_(CreateUniqueFolder(name_ending)) {}

ScratchFolder::~ScratchFolder() {
    if (path_.empty()) return;
    // A program that has just ended may hold its files a moment longer.
    constexpr int kTries = 100;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        if (!std::filesystem::exists(path_, ignored)) return;
        Sleep(kPauseMs);
    }
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
    const UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    std::string chunk(4096, '\0');
    DWORD read = 0;
    while (ReadFile(handle.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) !=
               FALSE &&
           read > 0) {
        bytes.append(chunk.data(), read);
    }
    return bytes;
}

bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes) {
    const UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) != FALSE &&
           written == bytes.size();
}

}  // namespace lullcast::testing
