#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace lullcast::e2e {

// The first visible top-level window of `class_name` that belongs to the
// process `process_id`, or nullptr.
[[nodiscard]] HWND FindProcessWindow(DWORD process_id, const wchar_t* class_name);

// Another process's window text, read through the window's own thread (under
// Wine GetWindowText gives "" for another process's controls); UTF-8.
[[nodiscard]] std::optional<std::string> WindowText(HWND window);

// What an input box of Lull-Cast showed.
struct InputBoxContents {
    std::string title;
    std::string prompt;
    std::string field;
};

// Lull-Cast's main window in another process, driven as a user would drive
// it: button clicks, the input box's field and buttons, the popup menu by
// keyboard, a click on the title strip's "Exit".
class LullCastWindow {
  public:
    // Waits up to `timeout` for the main window of process `process_id`.
    static std::optional<LullCastWindow> Find(DWORD process_id, std::chrono::milliseconds timeout);

    [[nodiscard]] HWND Handle() const { return window_; }
    // A control of the window by its id, also one on the title strip.
    [[nodiscard]] HWND Control(int control_id) const;
    [[nodiscard]] std::string ControlText(int control_id) const;
    [[nodiscard]] bool IsControlEnabled(int control_id) const;

    // Clicks a button of the window. The click is posted, as a user's click
    // is queued: the call does not wait for the handler.
    void ClickButton(int control_id) const;
    // Clicks the label "Exit" on the title strip.
    void ClickExitLabel() const;
    // Asks the window to close, as the taskbar or Alt+F4 would.
    void Close() const;

    // Waits for the visible input box and reads it; nothing after `timeout`.
    [[nodiscard]] std::optional<InputBoxContents> ReadInputBox(
        std::chrono::milliseconds timeout) const;
    // Types `typed` into the open input box's field, if given, then presses
    // `button` (IDOK or IDCANCEL). Says whether the box was there and closed.
    bool AnswerInputBox(int button, const std::optional<std::string>& typed = std::nullopt) const;

    // Opens the popup menu with a mouse click on the "Menu" button and chooses
    // the item `downs` steps down with the arrow keys (separators are
    // skipped).
    // Fails when the menu did not open or did not close again.
    ::testing::AssertionResult ChooseMenuItem(int downs) const;

    // Says whether the window's thread handled a message within `timeout`.
    [[nodiscard]] bool Answers(std::chrono::milliseconds timeout) const;

  private:
    LullCastWindow(HWND window, DWORD process_id) : window_(window), process_id_(process_id) {}
    [[nodiscard]] HWND InputBox() const;
    // Makes the window the one in front, where the keys go, as a user would.
    bool BringToFront() const;

    HWND window_;
    DWORD process_id_;
};

}  // namespace lullcast::e2e
