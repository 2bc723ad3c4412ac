// standin-client: a stand-in for the chat client that Lull-Cast drives. It
// shows the client's window tree (frame, MDI area, chat rooms, IM windows,
// toolbar icons), behaves as the client does where Lull-Cast relies on it,
// and writes everything that happens to it to an event log for tests.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "event_log_win.h"
#include "frame_win.h"
#include "options.h"

namespace {

using lullcast::standin::ClientFrame;
using lullcast::standin::EventLog;
using lullcast::standin::HangRule;
using lullcast::standin::Options;

enum ExitCode : int { kExitOk = 0, kExitNoWindows = 1, kExitBadCommandLine = 2, kExitNoLog = 3 };

struct LocalFreer {
    void operator()(LPWSTR* memory) const { LocalFree(static_cast<HLOCAL>(memory)); }
};

std::vector<std::wstring> ArgumentsAfterProgramName() {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> arguments(
        CommandLineToArgvW(GetCommandLineW(), &count));
    if (!arguments) {
        return {};
    }
    std::vector<std::wstring> after_name;
    for (int i = 1; i < count; ++i) {
        after_name.emplace_back(arguments.get()[i]);
    }
    return after_name;
}

// To the standard stream the program was started with, if any: a GUI program
// started from a console or a script may still have one.
void WriteTo(DWORD stream, std::wstring_view text) {
    const HANDLE handle = GetStdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) {
        return;
    }
    const int wide_length = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, utf8.data(), length, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring DefaultLogPath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return L"standin-client.log";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t folder_end = path.find_last_of(L"\\/");
    return (folder_end == std::wstring::npos ? std::wstring() : path.substr(0, folder_end + 1)) +
           L"standin-client.log";
}

// The text in the ANSI code page, the client's, as the lines posted to it
// arrive; none when a character has no place there (a stand-in '?' would
// match the wrong lines).
std::optional<std::string> AnsiBytes(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int wide_length = static_cast<int>(text.size());
    // The UTF-8 code page holds every character and takes no such question.
    BOOL lost = FALSE;
    BOOL* const lost_out = GetACP() == CP_UTF8 ? nullptr : &lost;
    const DWORD flags = lost_out != nullptr ? WC_NO_BEST_FIT_CHARS : 0;
    const int length =
        WideCharToMultiByte(CP_ACP, flags, text.data(), wide_length, nullptr, 0, nullptr, lost_out);
    if (length <= 0 || lost) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), wide_length, bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::string ReadyEvent(const Options& options) {
    return "ready rooms=" + std::to_string(options.rooms) +
           " front-docs=" + std::to_string(options.front_docs) +
           " im-open=" + (options.im_open ? "yes" : "no") +
           " toolbar=" + (options.toolbar ? "yes" : "no") +
           " toolbar-icons=" + std::to_string(options.toolbar_icons) +
           " icons=" + std::to_string(options.icons) +
           " im-delay-ms=" + std::to_string(options.im_delay_ms) +
           " im-build-ms=" + std::to_string(options.im_build_ms) +
           " hang-ms=" + std::to_string(options.hang_ms);
}

int RunMessageLoop(const ClientFrame& frame) {
    MSG message{};
    while (true) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return kExitNoWindows;
        }
        if (TranslateMDISysAccel(frame.MdiClient(), &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int RefuseCommandLine(const std::wstring& reason) {
    WriteTo(STD_ERROR_HANDLE, L"standin-client: " + reason + L"\n");
    WriteTo(STD_ERROR_HANDLE, lullcast::standin::UsageText());
    return kExitBadCommandLine;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
    const std::vector<std::wstring> arguments = ArgumentsAfterProgramName();
    const lullcast::standin::ParsedOptions parsed = lullcast::standin::ParseOptions(arguments);
    if (!parsed.options) {
        return RefuseCommandLine(parsed.error);
    }
    Options options = *parsed.options;
    if (options.help) {
        WriteTo(STD_OUTPUT_HANDLE, lullcast::standin::UsageText());
        return kExitOk;
    }
    const std::optional<std::string> hang_text = AnsiBytes(options.hang_on);
    if (!hang_text) {
        return RefuseCommandLine(L"--hang-on has characters that the ANSI code page cannot hold");
    }
    if (options.log_path.empty()) {
        options.log_path = DefaultLogPath();
    }
    EventLog log(options.log_path);
    if (!log.IsOpen()) {
        WriteTo(STD_ERROR_HANDLE,
                L"standin-client: cannot write the log " + options.log_path + L"\n");
        return kExitNoLog;
    }
    ClientFrame frame(log, options, HangRule{.text = *hang_text, .ms = options.hang_ms});
    if (!frame.Create()) {
        log.Write("failed");
        return kExitNoWindows;
    }
    log.Write(ReadyEvent(options));
    const int exit_code = RunMessageLoop(frame);
    log.Write("exit");
    return exit_code;
}
