#include <windows.h>

#include <memory>

#include "settings/scratch_folder.h"

namespace lullcast {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::wstring ThisProgram() {
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return name;
}

}  // namespace

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
