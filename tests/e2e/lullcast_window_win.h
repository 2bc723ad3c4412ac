#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace lullcast::e2e {

// The first visible top-level window of the class that belongs to the process.
[[nodiscard]] HWND FindProcessWindow(DWORD process_id, const wchar_t* class_name);

// Lull-Cast's main window in another process, driven as a user drives it.
// Texts are read with WM_GETTEXT: under Wine GetWindowText gives "" for
// another process's controls.
class LullCastWindow {
  public:
    static std::optional<LullCastWindow> Find(DWORD process_id, std::chrono::milliseconds timeout);

    // A control by its id, also one on the title strip.
    [[nodiscard]] HWND Control(int control_id) const;
    [[nodiscard]] std::string ControlText(int control_id) const;
    [[nodiscard]] bool IsControlEnabled(int control_id) const;
    // Posted, as a user's click is queued: the call does not wait for the handler.
    void ClickButton(int control_id) const;
    void ClickExitLabel() const;
    // As the taskbar or Alt+F4 closes it.
    void Close() const;

    // Waits for the input box; says whether it showed.
    [[nodiscard]] bool ReadInputBox(std::chrono::milliseconds timeout) const;
    // Types `typed` into the open input box, if given, then presses `button`
    // (IDOK or IDCANCEL); says whether the box was there and closed.
    bool AnswerInputBox(int button, const std::optional<std::string>& typed) const;
    // Opens the popup menu with a mouse click on "Menu" and chooses the item
    // `downs` steps down with the arrow keys (separators are skipped).
    ::testing::AssertionResult ChooseMenuItem(int downs) const;
    // Whether the window's thread handled a message within `timeout`.
    [[nodiscard]] bool Answers(std::chrono::milliseconds timeout) const;

  private:
    LullCastWindow(HWND window, DWORD process_id) : window_(window), process_id_(process_id) {}
    [[nodiscard]] HWND InputBox() const { return FindProcessWindow(process_id_, L"#32770"); }

    HWND window_;
    DWORD process_id_;
};

}  // namespace lullcast::e2e
