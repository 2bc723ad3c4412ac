#include "event_log_win.h"

namespace lullcast::standin {

EventLog::EventLog(const std::wstring& path) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        file_.reset(file);
    }
}

long long EventLog::MillisecondsSinceStart() const {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const long long ticks = now.QuadPart - start_.QuadPart;
    const long long per_second = frequency_.QuadPart;
    // Split before scaling so that the product cannot overflow.
    return ticks / per_second * 1000 + ticks % per_second * 1000 / per_second;
}

void EventLog::Write(std::string_view event) {
    if (!file_) {
        return;
    }
    std::string line = std::to_string(MillisecondsSinceStart());
    line.push_back(' ');
    line.append(event);
    line.push_back('\n');
    // One WriteFile per line: unbuffered in this process, so a reader sees
    // every line as soon as it is written, also when the client is killed.
    DWORD written = 0;
    WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace lullcast::standin
