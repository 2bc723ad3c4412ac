#include "e2e/processes_win.h"

#include <system_error>
#include <thread>

namespace lullcast::e2e {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);

// Command-line quoting for the arguments the tests pass: paths and options,
// none of which ends in a backslash or holds a quote mark.
std::wstring CommandLine(const std::filesystem::path& program,
                         const std::vector<std::wstring>& arguments) {
    std::wstring line = L"\"" + program.native() + L"\"";
    for (const std::wstring& argument : arguments) line += L" \"" + argument + L"\"";
    return line;
}

UniqueHandle OpenNullDevice() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    return UniqueHandle(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                    0, nullptr));
}

// A job that ends its processes when its last handle closes, also when the
// test program ends without cleaning up.
UniqueHandle CreateKillOnCloseJob() {
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
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
    const UniqueHandle null_device = OpenNullDevice();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = null_device.get();
    startup.hStdOutput = null_device.get();
    startup.hStdError = null_device.get();
    std::wstring command_line = CommandLine(program, arguments);
    PROCESS_INFORMATION started{};
    // Suspended until it is in the job, so that nothing it starts escapes.
    if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                       CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &started) == FALSE) {
        return std::nullopt;
    }
    UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    UniqueHandle job = CreateKillOnCloseJob();
    if (job) AssignProcessToJobObject(job.get(), process.get());
    ResumeThread(thread.get());
    return ChildProcess(std::move(job), std::move(process), started.dwProcessId);
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Terminate();
        job_ = std::move(other.job_);
        process_ = std::move(other.process_);
        id_ = other.id_;
    }
    return *this;
}

ChildProcess::~ChildProcess() { Terminate(); }

bool ChildProcess::IsRunning() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    return !process_ || WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) ==
                            WAIT_OBJECT_0;
}

std::optional<DWORD> ChildProcess::ExitCode() const {
    if (!process_ || IsRunning()) return std::nullopt;
    DWORD code = 0;
    if (GetExitCodeProcess(process_.get(), &code) == FALSE) return std::nullopt;
    return code;
}

void ChildProcess::Terminate() {
    if (IsRunning()) {
        TerminateProcess(process_.get(), 1);
        WaitForExit(std::chrono::seconds(10));
    }
}

}  // namespace lullcast::e2e
