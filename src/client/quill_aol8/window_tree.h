#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/quill_aol8/window_functions.h"

namespace lullcast::quill_aol8 {

enum class MessageKind : std::uint8_t {
    kSetText,
    kChar,
    kLeftButtonDown,
    kLeftButtonUp,
    kKeyUp,
    kGetTextLength,
    kGetText,
    kSetSelection,
    kGetLineCount,
    kLineIndex,
    kGetLine,
};

// One message as a window received it: the kind, its wParam, for WM_SETTEXT
// the text, for EM_SETSEL the lParam, and for EM_GETLINE the buffer's size.
struct ReceivedMessage {
    MessageKind kind = MessageKind::kSetText;
    std::uint32_t wparam = 0;
    std::string text;
    std::uint32_t lparam = 0;

    friend bool operator==(const ReceivedMessage&, const ReceivedMessage&) = default;
};

// Answers the window functions from a tree of its own, for a system without
// the chat client. It keeps user32's rules that the client code relies on:
// class names match without regard to case, lookups search direct children
// only, siblings are ordered topmost first, a parent of 0 is the desktop, and
// a message to 0 or to a destroyed window goes nowhere. Every window records
// the messages it received, in order, and keeps its text as WM_SETTEXT left
// it. Handles are never reused, so a handle kept across a Destroy stays stale
// instead of naming a newer window.
class WindowTree final : public WindowFunctions {
  public:
    WindowTree();

    // A new window of the class. As on Windows, a child window goes below its
    // siblings and a top-level window (parent 0) above all the others. A
    // parent that is gone makes none (0).
    WindowHandle Create(std::string_view class_name, WindowHandle parent = WindowHandle::kNone);
    // Moves the window in front of its siblings.
    void BringToTop(WindowHandle window);
    // Destroys the window and everything under it.
    void Destroy(WindowHandle window);
    [[nodiscard]] bool Exists(WindowHandle window) const;
    // What the window received, oldest first; empty for 0 or an unknown handle.
    // A destroyed window keeps what it received before it went.
    [[nodiscard]] const std::vector<ReceivedMessage>& Received(WindowHandle window) const;
    // The window's text; the user's typing sets it without a message.
    [[nodiscard]] const std::string& Text(WindowHandle window) const;
    void Type(WindowHandle window, std::string_view text);
    // The window answers `messages` more, then its thread stops: it still
    // takes every message, as a hung window's queue does, but no send is
    // answered, no read gives a text, and nothing it takes changes its text.
    void StopAnsweringAfter(WindowHandle window, std::size_t messages);
    // The window answers every message again. What it took meanwhile it
    // dropped, as Wine drops a sent message whose sender stopped waiting.
    void AnswerAgain(WindowHandle window);
    // The window answers the line messages as an edit control does, its text's
    // lines (ended by LF or CR LF) shown `wrap` bytes a line at most (0: as
    // they are), and EM_GETLINE copying `most_copied` bytes at most (as Wine
    // copies between processes); with `gives_breaks`, as a rich edit control
    // does, EM_GETLINE gives a line with the break that ends it. Other windows
    // answer them with 0, as a window that is no edit control does.
    void KeepLines(WindowHandle window, std::size_t wrap, std::size_t most_copied,
                   bool gives_breaks);

    [[nodiscard]] WindowHandle FindTopLevel(std::string_view class_name) override;
    [[nodiscard]] WindowHandle FindChild(WindowHandle parent, WindowHandle after,
                                         std::string_view class_name) override;
    [[nodiscard]] WindowHandle FirstSibling(WindowHandle window) override;
    [[nodiscard]] WindowHandle NextSibling(WindowHandle window) override;
    bool SetText(WindowHandle window, std::string_view text) override;
    bool SendChar(WindowHandle window, std::uint32_t character) override;
    bool LeftButtonDown(WindowHandle window) override;
    bool LeftButtonUp(WindowHandle window) override;
    bool KeyUp(WindowHandle window, std::uint32_t virtual_key) override;
    [[nodiscard]] std::optional<NativeText> ReadText(WindowHandle window,
                                                     std::size_t longest) override;
    bool SetNativeText(WindowHandle window, const NativeText& text) override;
    [[nodiscard]] NativeText ToNative(std::string_view text) override;
    bool SetSelection(WindowHandle window, std::int32_t start, std::int32_t end) override;
    [[nodiscard]] std::optional<std::int32_t> LineCount(WindowHandle window) override;
    [[nodiscard]] std::optional<std::int32_t> LineStart(WindowHandle window,
                                                        std::uint32_t line) override;
    [[nodiscard]] std::optional<NativeText> ReadLine(WindowHandle window, std::uint32_t line,
                                                     std::size_t longest) override;

  private:
    struct Window {
        std::string class_name;
        WindowHandle parent = WindowHandle::kNone;
        std::vector<WindowHandle> children;  // topmost first
        std::vector<ReceivedMessage> received;
        std::string text;
        bool alive = true;
        std::optional<std::size_t> answers_left;  // none: answers every message
        std::optional<std::size_t> wrap;          // none: no edit control
        std::size_t most_copied = 0;
        bool gives_breaks = false;
    };
    struct ShownLine {
        std::size_t start, length, break_length;
    };

    // The lines an edit control would show; empty for a window that is none.
    [[nodiscard]] std::vector<ShownLine> ShownLines(WindowHandle window) const;

    [[nodiscard]] bool IsLive(WindowHandle window) const;
    // The live window behind a handle, the desktop (0) included; null otherwise.
    [[nodiscard]] const Window* Live(WindowHandle window) const;
    [[nodiscard]] Window* Live(WindowHandle window);
    // The live window behind a non-zero handle: one that can receive messages.
    [[nodiscard]] Window* Receiver(WindowHandle window);
    [[nodiscard]] std::vector<WindowHandle>& SiblingsOf(const Window& window);
    // Records the message; false when the window takes it without answering.
    bool Deliver(WindowHandle window, ReceivedMessage message);
    void MarkDestroyed(WindowHandle window);

    std::vector<Window> windows_;  // indexed by handle value; [0] is the desktop
};

}  // namespace lullcast::quill_aol8
