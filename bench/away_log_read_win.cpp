// Measures what the away log adds to the one-second tick: one read of the
// front-most chat room's transcript from the stand-in client (run beside it
// by scripts/measure-away-log) and the look for new lines that name the user.
// Usage: away_log_read [lines] [reads] (default 1000 and 200): first posts
// that many lines of talk into the room, then reads. Prints the lines and
// bytes read, the bytes copied and the time per read and per look.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

#include "app/away_log.h"
#include "client/quill_aol8/quill_client.h"
#include "client/quill_aol8/user32_window_functions.h"
#include "ui/win32_event_loop.h"

int wmain(int argc, wchar_t** argv) {
    using Clock = std::chrono::steady_clock;
    const auto argument = [argc, argv](int index, int otherwise) {
        return argc > index ? std::max(1, static_cast<int>(std::wcstol(argv[index], nullptr, 10)))
                            : otherwise;
    };
    const int lines_posted = argument(1, 1000);
    const int reads = argument(2, 200);
    lullcast::Win32EventLoop loop;
    lullcast::quill_aol8::User32WindowFunctions windows;
    lullcast::quill_aol8::QuillClient client(windows, loop);
    for (int line = 1; line <= lines_posted; ++line) {
        client.SendChatLine("line " + std::to_string(line) + " of the room's talk, about nothing");
    }
    lullcast::AwayLog log;
    log.Begin();
    double read_ms = 0;
    double worst_ms = 0;
    double look_ms = 0;
    std::optional<lullcast::ClientOperations::Transcript> transcript;
    for (int read = 0; read < reads; ++read) {
        const Clock::time_point start = Clock::now();
        transcript = client.ReadFrontTranscript();
        const Clock::time_point read_end = Clock::now();
        if (!transcript) {
            std::fprintf(stderr, "away_log_read: no transcript to read\n");
            return 1;
        }
        log.Look(transcript->room, transcript->text, "Bob", "00:00:00");
        const double ms = std::chrono::duration<double, std::milli>(read_end - start).count();
        read_ms += ms;
        worst_ms = std::max(worst_ms, ms);
        look_ms += std::chrono::duration<double, std::milli>(Clock::now() - read_end).count();
    }
    const std::size_t bytes = transcript->text.size();
    // Lines are joined by line breaks: the last one has none.
    const auto lines = std::count(transcript->text.begin(), transcript->text.end(), '\n') +
                       (bytes > 0 && !transcript->text.ends_with('\n') ? 1 : 0);
    // WM_GETTEXT fills a buffer of UTF-16 characters and its terminator, which
    // becomes the code page's bytes, then UTF-8.
    std::printf("transcript: %ld lines, %zu bytes\n", static_cast<long>(lines), bytes);
    std::printf(
        "copied per read: %zu bytes of UTF-16 from the client, then %zu into the code "
        "page and %zu into UTF-8\n",
        (bytes + 1) * 2, bytes, bytes);
    std::printf("read: %.3f ms mean, %.3f ms worst over %d reads\n", read_ms / reads, worst_ms,
                reads);
    std::printf("look for new lines and mentions: %.3f ms mean\n", look_ms / reads);
    return 0;
}
