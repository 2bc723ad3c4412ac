#include "e2e/processes_win.h"

#include <thread>

namespace lullcast::e2e {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::filesystem::path ThisProgramsFolder() {
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return std::filesystem::path(name).parent_path();
}

std::optional<ChildProcess> ChildProcess::Start(const std::filesystem::path& program,
                                                const std::vector<std::wstring>& arguments,
                                                const std::filesystem::path& folder) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueHandle null_device(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                               OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = null_device.get();
    // The arguments are paths and options: none ends in a backslash or holds a quote.
    std::wstring command_line = L"\"" + program.native() + L"\"";
    for (const std::wstring& argument : arguments) command_line += L" \"" + argument + L"\"";
    PROCESS_INFORMATION started{};
    // Suspended until it is in the job, so that nothing it starts escapes.
    if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                       CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &started) == FALSE) {
        return std::nullopt;
    }
    UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    AssignProcessToJobObject(job.get(), process.get());
    ResumeThread(thread.get());
    return ChildProcess(std::move(job), std::move(process), started.dwProcessId);
}

ChildProcess::~ChildProcess() {
    if (process_ && !ExitCode()) {
        TerminateProcess(process_.get(), 1);
        WaitForExit(std::chrono::seconds(10));
    }
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    return WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

std::optional<DWORD> ChildProcess::ExitCode() const {
    DWORD code = 0;
    if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0 ||
        GetExitCodeProcess(process_.get(), &code) == FALSE) {
        return std::nullopt;
    }
    return code;
}

}  // namespace lullcast::e2e
