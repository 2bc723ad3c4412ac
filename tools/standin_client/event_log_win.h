#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace lullcast::standin {

// The stand-in client's record of what happened to it, for tests to read:
// one event per line, "<ms> <event>", where <ms> counts whole milliseconds
// since the log was opened on a clock that never jumps. Each line is written
// through to the file as it happens, and the file is shared for reading, so
// a test can follow it while the client runs.
class EventLog {
  public:
    // Creates (or empties) the file at `path`.
    explicit EventLog(const std::wstring& path);

    [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
    void Write(std::string_view event);

  private:
    struct FileCloser {
        void operator()(HANDLE file) const { CloseHandle(file); }
    };
    using UniqueFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;

    [[nodiscard]] long long MillisecondsSinceStart() const;

    UniqueFile file_;
    LARGE_INTEGER start_{};
    LARGE_INTEGER frequency_{};
};

}  // namespace lullcast::standin
