// standin-drive: acts on the chat client exactly as Lull-Cast does, through
// the same client code, one action per run:
//
//   standin-drive chat <line>               posts the line as it stands
//   standin-drive announce <text>           posts the text faded and prefixed,
//                                           as Lull-Cast announces it
//   standin-drive im <recipient> <text>     sends an instant message
//   standin-drive click <position>          clicks an icon of the front window
//   standin-drive close                     asks the client's frame to close
//
// Texts are taken as Unicode and reach the client in its ANSI code page.
// Exit status: 0 done, 1 no client window found (nothing done), 2 bad usage.
#include <windows.h>

#include <cwchar>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "client/quill_aol8/locator.h"
#include "client/quill_aol8/quill_client.h"
#include "client/quill_aol8/user32_window_functions.h"
#include "core/colour.h"
#include "core/text_win.h"
#include "fade/announcer.h"
#include "ui/win32_event_loop.h"

namespace {

enum ExitCode : int { kExitDone = 0, kExitNoClient = 1, kExitUsage = 2 };

// Lull-Cast's swatch colours: every line fades from dark teal to cyan.
constexpr lullcast::Colour kFadeStart = lullcast::MakeColour(0, 64, 64);
constexpr lullcast::Colour kFadeEnd = lullcast::MakeColour(0, 255, 255);
constexpr UINT kCloseTimeoutMs = 5000;

int Usage() {
    std::wcerr << L"usage: standin-drive chat <line>\n"
                  L"       standin-drive announce <text>\n"
                  L"       standin-drive im <recipient> <text>\n"
                  L"       standin-drive click <position>\n"
                  L"       standin-drive close\n";
    return kExitUsage;
}

std::optional<int> ParsePosition(const wchar_t* text) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value < -1000 || value > 1000) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

HWND ClientFrameWindow(lullcast::quill_aol8::WindowFunctions& windows) {
    const auto frame = lullcast::quill_aol8::FindClientFrame(windows);
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(frame));
}

int Close(HWND frame) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(frame, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseTimeoutMs, &result);
    return kExitDone;
}

int Drive(int count, wchar_t** arguments) {
    if (count < 2) {
        return Usage();
    }
    const std::wstring_view command = arguments[1];
    lullcast::Win32EventLoop loop;
    lullcast::quill_aol8::User32WindowFunctions windows;
    lullcast::quill_aol8::QuillClient client(windows, loop);
    const HWND frame = ClientFrameWindow(windows);
    const auto need_client = [frame] {
        if (frame == nullptr) {
            std::wcerr << L"standin-drive: no chat client window found\n";
        }
        return frame != nullptr;
    };
    if (command == L"chat" && count == 3) {
        if (!need_client()) return kExitNoClient;
        client.SendChatLine(lullcast::NarrowToUtf8(arguments[2]));
    } else if (command == L"announce" && count == 3) {
        if (!need_client()) return kExitNoClient;
        client.SendChatLine(
            lullcast::ComposeChatLine(kFadeStart, kFadeEnd, lullcast::NarrowToUtf8(arguments[2])));
    } else if (command == L"im" && count == 4) {
        if (!need_client()) return kExitNoClient;
        client.SendInstantMessage(lullcast::NarrowToUtf8(arguments[2]),
                                  lullcast::NarrowToUtf8(arguments[3]));
    } else if (command == L"click" && count == 3) {
        const std::optional<int> position = ParsePosition(arguments[2]);
        if (!position) return Usage();
        if (!need_client()) return kExitNoClient;
        client.ClickFrontChildIcon(*position);
    } else if (command == L"close" && count == 2) {
        if (!need_client()) return kExitNoClient;
        return Close(frame);
    } else {
        return Usage();
    }
    // What the actions sent is handled by now (SendMessage waits for it);
    // one more pass lets anything they started in this process finish.
    loop.ProcessPendingEvents();
    return kExitDone;
}

}  // namespace

int wmain(int count, wchar_t** arguments) { return Drive(count, arguments); }
