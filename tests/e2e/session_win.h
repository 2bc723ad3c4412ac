#pragma once
// End to end: lullcast.exe and the stand-in chat client as separate programs
// in the test's own scratch folder (so info.ini is the test's), Lull-Cast
// driven through its window, the client's log read back.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/text_win.h"
#include "support/form1_input_win.h"
#include "support/scratch_folder_win.h"
#include "ui/resource_ids.h"

namespace lullcast::e2e {

using namespace std::chrono_literals;
constexpr auto kFlowTimeout = 10s;
// Items of the popup menu, in presses of the Down key.
enum MenuItem : int { kChangeHandle = 4, kSettings = 5, kImsOn = 6, kImsOff = 7, kExit = 9 };
// Lull-Cast's greeting, as the room shows it.
inline const std::string kBanner = "¬ Lull-Cast 2k3 ¬ tarn";
inline const std::string kLoadedNewbie = "¬ loaded ¬ newbie";

// Asks `condition` every 20 ms until it holds or `timeout` has passed.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = kFlowTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}
// Until `read()` gives `expected`; else a failure that shows what it gave.
template <typename Read, typename Value>
::testing::AssertionResult Becomes(const Read& read, const Value& expected,
                                   std::chrono::milliseconds timeout = kFlowTimeout) {
    if (WaitUntil([&] { return read() == expected; }, timeout)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "still " << ::testing::PrintToString(read());
}
inline bool Closes(HWND window) {
    return WaitUntil([window] { return IsWindowVisible(window) == FALSE; });
}
// Presses a dialog's button as a click does, until the dialog goes.
inline bool Press(HWND dialog, int button) {
    PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    return Closes(dialog);
}
// A visible top-level window of the process, titled `title` if given, other
// than `besides`; nullptr after `timeout`.
[[nodiscard]] HWND WaitForWindow(DWORD process_id, const wchar_t* class_name,
                                 std::chrono::milliseconds timeout, const wchar_t* title = nullptr,
                                 HWND besides = nullptr);
// A message sent with a bound; nothing when it goes unanswered.
[[nodiscard]] inline std::optional<DWORD_PTR> Sent(HWND window, UINT message, WPARAM wparam,
                                                   LPARAM lparam,
                                                   std::chrono::milliseconds bound = 2s) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL,
                               static_cast<UINT>(bound.count()), &result) != 0
               ? std::optional(result)
               : std::nullopt;
}
// A window's text, read through its thread (Wine's GetWindowText gives ""
// across processes).
[[nodiscard]] inline std::string TextOf(HWND window) {
    std::array<wchar_t, 1024> text{};
    const std::optional<DWORD_PTR> length =
        Sent(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return length ? NarrowToUtf8(std::wstring_view(text.data(), *length)) : "<no answer>";
}
// Near the screen's bottom right corner, away from both programs' windows.
void MovePointerNearCorner(int offset);
// Keys pressed and let go, `pace` apart, as the user types: they go to the
// window in front.
inline void PressKey(BYTE key) {
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
}
void TypeKeys(std::string_view ascii, std::chrono::milliseconds pace);
// A real left click in the middle of `window`, as a user makes it.
void ClickOn(HWND window);
// Clicks `window` until its top-level window is in front. Under Wine,
// SetForegroundWindow from another program has no effect, and a click on a
// program not in front may only take the front: a user clicks again.
bool ClickUntilInFront(HWND window);
// "5A6F" as the bytes "Zo", as the log writes bytes.
[[nodiscard]] std::string BytesOfHex(std::string_view hex);

// Closes a handle; a process that still runs is ended first (for any other
// handle TerminateProcess fails and nothing waits).
struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (TerminateProcess(handle, 1) != FALSE) WaitForSingleObject(handle, 10'000);
        CloseHandle(handle);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A program started by the test, in a job that ends it should the test
// program end.
struct ChildProcess {
    // Its exit code, once it has ended within `timeout`.
    [[nodiscard]] std::optional<DWORD> ExitCode(
        std::chrono::milliseconds timeout = kFlowTimeout) const {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(process.get(), static_cast<DWORD>(timeout.count()));
        GetExitCodeProcess(process.get(), &code);
        return code == STILL_ACTIVE ? std::nullopt : std::optional(code);
    }
    Handle job;
    Handle process;
    DWORD id = 0;
};

// One line of the client's log: "<ms> <kind> key=value ... [shown=text]".
struct LogEvent {
    long long ms = 0;
    std::string kind;
    std::string rest;
    // A field's value, but for "shown".
    [[nodiscard]] std::string Field(const std::string& key) const;
};

class EndToEndTest : public ::testing::Test {
  protected:
    ::testing::AssertionResult StartClient(std::vector<std::wstring> options = {});
    ::testing::AssertionResult StartLullCast();
    // One more copy beside the running one, without waiting for anything.
    [[nodiscard]] std::optional<ChildProcess> StartAnotherLullCast() const;
    // Both, until Lull-Cast's greeting is in the room.
    ::testing::AssertionResult StartBoth(std::vector<std::wstring> options = {}) {
        ::testing::AssertionResult started = StartClient(std::move(options));
        if (started) started = StartLullCast();
        return started ? WaitForEvents("line", 2) : started;
    }
    // The log's complete lines; of one kind, if given.
    [[nodiscard]] std::vector<LogEvent> Events(const std::string& kind = "") const;
    // What Lull-Cast did, one entry each: a chat line's text as the room shows
    // it (UTF-8, read from its bytes as the client reads them), "click <window>
    // <icon>" (IM windows as "im-window"), "im <recipient>: <text>", "ims on|off".
    [[nodiscard]] std::vector<std::string> Story() const;
    ::testing::AssertionResult WaitForEvents(const std::string& kind, std::size_t count,
                                             std::chrono::milliseconds timeout = kFlowTimeout) {
        return WaitUntil([&] { return Events(kind).size() >= count; }, timeout)
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure()
                         << "fewer than " << count << " '" << kind << "' events; the log:\n"
                         << testing::ReadFileBytes(File("standin.log")).value_or("(none)");
    }

    // Lull-Cast's window, driven as a user drives it.
    [[nodiscard]] HWND Control(int id) const { return testing::ControlOf(window_, id); }
    [[nodiscard]] std::string ControlText(int id) const { return TextOf(Control(id)); }
    ::testing::AssertionResult WaitForText(int id, const std::string& text,
                                           std::chrono::milliseconds timeout = kFlowTimeout) {
        return Becomes([this, id] { return ControlText(id); }, text, timeout);
    }
    // Posted, as a user's click is queued: the call does not wait for the flow.
    void Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }
    // "Exit" or "Min" on the title strip, clicked as posted mouse messages.
    void ClickLabel(int id) const {
        PostMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    void ClickExitLabel() const { ClickLabel(IDC_LABEL3); }
    // A shown dialog or box of Lull-Cast's, titled `title` if given, other
    // than `besides`.
    [[nodiscard]] HWND Dialog(const wchar_t* title = nullptr, HWND besides = nullptr) const {
        return WaitForWindow(lullcast_->id, L"#32770", kFlowTimeout, title, besides);
    }
    // Types `typed`, if given, into the input box and presses `button`.
    bool AnswerInputBox(int button, const std::optional<std::string>& typed = std::nullopt) const;
    ::testing::AssertionResult ChooseMenuItem(MenuItem item) const;
    [[nodiscard]] bool Answers(std::chrono::milliseconds bound) const {
        return Sent(window_, WM_NULL, 0, 0, bound).has_value();
    }
    // The client's front chat room's input.
    [[nodiscard]] HWND RoomInput() const;

    [[nodiscard]] std::filesystem::path File(const char* name) const {
        return scratch_.Path() / name;
    }
    [[nodiscard]] std::string InfoIni() const {
        return testing::ReadFileBytes(File("info.ini")).value_or("(no file)");
    }
    bool WriteInfoIni(const std::string& bytes) const {
        return testing::WriteFileBytes(File("info.ini"), bytes);
    }

    // Presses Start and answers the reason prompt, until "Idling...".
    void StartIdling(int button, const std::optional<std::string>& typed = std::nullopt) {
        Click(IDC_SSCOMMAND1);
        ASSERT_TRUE(AnswerInputBox(button, typed)) << "no reason prompt";
        ASSERT_TRUE(WaitForText(IDC_LABEL1, "Idling..."));
    }
    // Presses Stop once the elapsed time reads `elapsed`, if given.
    void StopAt(const std::optional<std::string>& elapsed) {
        if (elapsed) {
            ASSERT_TRUE(WaitForText(IDC_TIMED, *elapsed, 75s));
        }
        Click(IDC_SSCOMMAND2);
        ASSERT_TRUE(WaitForText(IDC_LABEL1, "Welcome to Lull-Cast!"));
        EXPECT_NE(IsWindowEnabled(Control(IDC_SSCOMMAND1)), FALSE);
    }

    // The programs end before their folder goes.
    testing::ScratchFolder scratch_;
    std::optional<ChildProcess> client_;
    std::optional<ChildProcess> lullcast_;
    HWND window_ = nullptr;
};

}  // namespace lullcast::e2e
