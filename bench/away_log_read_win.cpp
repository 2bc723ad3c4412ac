// Measures what the away log adds to the one-second tick: one look at the
// front-most chat room's transcript of the stand-in client (run beside it by
// scripts/measure-away-log, its room filled with --fill-lines) and the search
// of what it read for new lines that name the user. Usage: away_log_read
// [reads] (default 200). Prints, per look, the time and the bytes copied:
//   - before: the transcript's head, as the read was before it read the end
//     (WM_GETTEXT, at most kLongestTranscript bytes),
//   - now: ReadFrontTranscript, as the program reads,
//   - the tail's messages alone (EM_GETLINECOUNT, EM_LINEINDEX, EM_GETLINE of
//     the last kTailLines lines): what a look costs where the system carries
//     EM_GETLINE whole (Windows; Wine 8 cuts it, and the read falls back to
//     the head).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>

#include "app/away_log.h"
#include "client/quill_aol8/actions.h"
#include "client/quill_aol8/locator.h"
#include "client/quill_aol8/quill_client.h"
#include "client/quill_aol8/user32_window_functions.h"
#include "ui/win32_event_loop.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace quill = lullcast::quill_aol8;

// One way of looking: it reads, searches, and says how many bytes it copied
// (UTF-16 from the client, then the code page and UTF-8 of what it kept).
struct Way {
    const char* name;
    std::function<std::size_t()> look;
};

void Measure(const Way& way, int reads) {
    double total_ms = 0;
    double worst_ms = 0;
    std::size_t copied = 0;
    for (int read = 0; read < reads; ++read) {
        const Clock::time_point start = Clock::now();
        copied = way.look();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        total_ms += ms;
        worst_ms = std::max(worst_ms, ms);
    }
    std::printf("%-34s %9.3f ms mean %9.3f ms worst %9zu bytes copied\n", way.name,
                total_ms / reads, worst_ms, copied);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int reads =
        argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 200;
    lullcast::Win32EventLoop loop;
    quill::User32WindowFunctions windows;
    quill::QuillClient client(windows, loop);
    const lullcast::WindowHandle room = quill::FindChatWindow(windows, loop);
    const lullcast::WindowHandle transcript =
        windows.FindChild(room, lullcast::WindowHandle::kNone, quill::kReadOnlyRichTextClass);
    const std::optional<std::int32_t> shown_lines = windows.LineCount(transcript);
    if (!lullcast::IsWindow(transcript) || !shown_lines) {
        std::fprintf(stderr, "away_log_read: no transcript to read\n");
        return 1;
    }
    std::printf("transcript: %ld shown lines\n", static_cast<long>(*shown_lines));

    lullcast::AwayLog log;
    log.Begin();
    const Way before{
        "before: the head (WM_GETTEXT)", [&] {
            std::optional<quill::NativeText> text =
                windows.ReadText(transcript, quill::kLongestTranscript + 1);
            if (!text) return std::size_t{0};
            const std::size_t wide = (text->bytes.size() + 1) * 2;
            if (text->bytes.size() > quill::kLongestTranscript) {
                text->bytes.resize(text->bytes.rfind('\n', quill::kLongestTranscript) + 1);
            }
            const std::string utf8 = windows.FromNative(*text);
            log.Look(transcript, utf8, "Bob", "00:00:00");
            return wide + text->bytes.size() + utf8.size();
        }};
    const Way now{"now: ReadFrontTranscript", [&] {
                      const auto read = client.ReadFrontTranscript();
                      if (!read) return std::size_t{0};
                      log.Look(read->room, read->text, "Bob", "00:00:00", read->end_unread);
                      // As much again in UTF-16 and the code page (the head's
                      // read copies one more character for its terminator).
                      return read->text.size() * 3 + (read->end_unread ? 2 : 0);
                  }};
    const Way tail{
        "the tail's messages alone", [&] {
            const auto count = windows.LineCount(transcript);
            const auto end = static_cast<std::uint32_t>(count ? *count : 0);
            const std::uint32_t first =
                end > quill::kTailLines ? end - static_cast<std::uint32_t>(quill::kTailLines) : 0;
            std::size_t copied = 0;
            std::int32_t previous = 0;
            for (std::uint32_t line = first; line < end; ++line) {
                const std::int32_t start = windows.LineStart(transcript, line).value_or(0);
                if (line > first) {
                    const auto span = static_cast<std::size_t>(start - previous);
                    const auto text = windows.ReadLine(transcript, line - 1, span);
                    copied += span * 2 + (text ? text->bytes.size() : 0);
                }
                previous = start;
            }
            return copied;
        }};
    for (const Way* way : {&before, &now, &tail}) Measure(*way, reads);
    return 0;
}
