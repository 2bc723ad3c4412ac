#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/scratch_folder_win.h"

namespace lullcast::e2e {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Asks `condition` every 20 ms until it holds or `timeout` has passed; says
// whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// The folder that holds this test program.
[[nodiscard]] std::filesystem::path ThisProgramsFolder();

using testing::ReadFileBytes;
using testing::ScratchFolder;
using testing::WriteFileBytes;

// A program started by the test. It runs in a job that ends it should the
// test program itself end, and it is ended when the object goes, so that
// nothing outlives a test, also when the test fails. Its standard handles
// lead nowhere: a pipe there would keep the test's caller waiting.
class ChildProcess {
  public:
    // Starts `program` with `arguments` (each quoted), in `folder`; nothing
    // when it could not be started.
    static std::optional<ChildProcess> Start(const std::filesystem::path& program,
                                             const std::vector<std::wstring>& arguments,
                                             const std::filesystem::path& folder);

    ChildProcess(ChildProcess&&) noexcept = default;
    // Ends the process this object held before it takes over `other`'s.
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    [[nodiscard]] DWORD Id() const { return id_; }
    [[nodiscard]] bool IsRunning() const;
    // Says whether the process ended within `timeout`.
    bool WaitForExit(std::chrono::milliseconds timeout) const;
    // The exit code once the process has ended; nothing while it runs.
    [[nodiscard]] std::optional<DWORD> ExitCode() const;
    void Terminate();

  private:
    ChildProcess(UniqueHandle job, UniqueHandle process, DWORD id)
        : job_(std::move(job)), process_(std::move(process)), id_(id) {}

    UniqueHandle job_;
    UniqueHandle process_;
    DWORD id_ = 0;
};

}  // namespace lullcast::e2e
