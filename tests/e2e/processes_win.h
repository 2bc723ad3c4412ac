#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/scratch_folder_win.h"

namespace lullcast::e2e {

using testing::ReadFileBytes;
using testing::ScratchFolder;
using testing::WriteFileBytes;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Asks `condition` every 20 ms until it holds or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
[[nodiscard]] std::filesystem::path ThisProgramsFolder();

// A program started by the test, in a job that ends it should the test end
// first; it is ended when the object goes, also when the test fails. Its
// standard handles lead nowhere: a pipe there would keep the caller waiting.
class ChildProcess {
  public:
    static std::optional<ChildProcess> Start(const std::filesystem::path& program,
                                             const std::vector<std::wstring>& arguments,
                                             const std::filesystem::path& folder);
    ChildProcess(ChildProcess&&) noexcept = default;
    ChildProcess& operator=(ChildProcess&&) noexcept = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    [[nodiscard]] DWORD Id() const { return id_; }
    bool WaitForExit(std::chrono::milliseconds timeout) const;
    // The exit code once the process has ended; nothing while it runs.
    [[nodiscard]] std::optional<DWORD> ExitCode() const;

  private:
    ChildProcess(UniqueHandle job, UniqueHandle process, DWORD id)
        : job_(std::move(job)), process_(std::move(process)), id_(id) {}

    UniqueHandle job_;
    UniqueHandle process_;
    DWORD id_ = 0;
};

}  // namespace lullcast::e2e
