#pragma once
// End to end: lullcast.exe and the stand-in chat client as separate programs
// in the test's own scratch folder (so info.ini is the test's), Lull-Cast
// driven through its window, the client's log read back.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/form1_input_win.h"
#include "support/scratch_folder_win.h"
#include "ui/resource_ids.h"

namespace lullcast::e2e {

using namespace std::chrono_literals;
constexpr auto kFlowTimeout = 10s;

// Asks `condition` every 20 ms until it holds or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// A visible top-level window of the process, titled `title` if given, other
// than `besides`; nullptr after `timeout`.
[[nodiscard]] HWND WaitForWindow(DWORD process_id, const wchar_t* class_name,
                                 std::chrono::milliseconds timeout, const wchar_t* title = nullptr,
                                 HWND besides = nullptr);
// A window's text, read through its thread (Wine's GetWindowText gives ""
// across processes).
[[nodiscard]] std::string TextOf(HWND window);
void MovePointerTo(POINT screen_point);
// A key pressed and let go, as the user does: it goes to the window in front.
void PressKey(BYTE key);
// A real left click in the middle of `window`, as a user makes it.
void ClickOn(HWND window);
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
    [[nodiscard]] bool WaitForExit(std::chrono::milliseconds timeout) const {
        return WaitForSingleObject(process.get(), static_cast<DWORD>(timeout.count())) == 0;
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
    // A field's value; "shown" is the rest of the line.
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
    // it (UTF-8), "click <window> <icon>" (IM windows as "im-window"),
    // "im <recipient>: <text>", "ims on|off".
    [[nodiscard]] std::vector<std::string> Story() const;
    // Lull-Cast's window, driven as a user drives it.
    [[nodiscard]] std::string ControlText(int control_id) const {
        return TextOf(Control(control_id));
    }
    // Posted, as a user's click is queued: the call does not wait for the flow.
    void Click(int control_id) const { PostMessageW(Control(control_id), BM_CLICK, 0, 0); }
    // "Exit" or "Min" on the title strip, clicked as posted mouse messages.
    void ClickLabel(int control_id) const;
    void ClickExitLabel() const { ClickLabel(IDC_LABEL3); }
    // Types `typed`, if given, into the input box and presses `button`.
    bool AnswerInputBox(int button, const std::optional<std::string>& typed = std::nullopt) const;
    // The popup menu's item `downs` presses of the Down key below the top.
    ::testing::AssertionResult ChooseMenuItem(int downs) const;
    [[nodiscard]] bool Answers(std::chrono::milliseconds timeout) const;
    [[nodiscard]] HWND Control(int id) const { return testing::ControlOf(window_, id); }
    // How long Lull-Cast's window takes to repaint once it is made invalid
    // from outside; `timeout` when it does not within that time.
    [[nodiscard]] std::chrono::milliseconds RepaintTime(std::chrono::milliseconds timeout) const;

    // The client's front chat room's input, as a user uses it: clicked into
    // (until the client is in front), typed into, key by key, `pace` apart.
    [[nodiscard]] HWND RoomInput() const;
    ::testing::AssertionResult ClickIntoRoomInput() const;
    void TypeIntoFocus(std::string_view ascii, std::chrono::milliseconds pace) const;
    // Its text (bytes of the code page) and its caret or selection.
    [[nodiscard]] std::string RoomInputText() const;
    [[nodiscard]] std::pair<int, int> RoomInputSelection() const;

    ::testing::AssertionResult WaitForEvents(const std::string& kind, std::size_t count,
                                             std::chrono::milliseconds timeout = kFlowTimeout);
    ::testing::AssertionResult WaitForText(int control_id, const std::string& text,
                                           std::chrono::milliseconds timeout = kFlowTimeout);
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
    // Lull-Cast ends by itself, with status 0.
    void ExpectLullCastEnds() const {
        ASSERT_TRUE(lullcast_->WaitForExit(kFlowTimeout)) << "Lull-Cast is still running";
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(lullcast_->process.get(), &code);
        EXPECT_EQ(code, 0U);
    }

    // The programs end before their folder goes.
    testing::ScratchFolder scratch_;
    std::optional<ChildProcess> client_;
    std::optional<ChildProcess> lullcast_;
    HWND window_ = nullptr;
};

}  // namespace lullcast::e2e
