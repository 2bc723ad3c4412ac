#include "client/quill_aol8/window_tree.h"

#include <algorithm>
#include <utility>

namespace lullcast::quill_aol8 {
namespace {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Windows folds the case of class names; the client's names are all ASCII.
bool SameClass(std::string_view left, std::string_view right) {
    return std::ranges::equal(left, right,
                              [](char l, char r) { return AsciiLower(l) == AsciiLower(r); });
}

std::size_t IndexOf(WindowHandle window) { return static_cast<std::size_t>(window); }

}  // namespace

WindowTree::WindowTree() : windows_(1) {}

bool WindowTree::IsLive(WindowHandle window) const {
    const std::size_t index = IndexOf(window);
    return index < windows_.size() && windows_[index].alive;
}

const WindowTree::Window* WindowTree::Live(WindowHandle window) const {
    return IsLive(window) ? &windows_[IndexOf(window)] : nullptr;
}

WindowTree::Window* WindowTree::Live(WindowHandle window) {
    return IsLive(window) ? &windows_[IndexOf(window)] : nullptr;
}

WindowTree::Window* WindowTree::Receiver(WindowHandle window) {
    return IsWindow(window) ? Live(window) : nullptr;
}

std::vector<WindowHandle>& WindowTree::SiblingsOf(const Window& window) {
    return windows_[IndexOf(window.parent)].children;
}

WindowHandle WindowTree::Create(std::string_view class_name, WindowHandle parent) {
    if (Live(parent) == nullptr) {
        return WindowHandle::kNone;
    }
    const auto handle = static_cast<WindowHandle>(windows_.size());
    Window created;
    created.class_name = class_name;
    created.parent = parent;
    windows_.push_back(std::move(created));
    auto& siblings = windows_[IndexOf(parent)].children;
    siblings.insert(IsWindow(parent) ? siblings.end() : siblings.begin(), handle);
    return handle;
}

void WindowTree::BringToTop(WindowHandle window) {
    const Window* const target = Receiver(window);
    if (target == nullptr) {
        return;
    }
    auto& siblings = SiblingsOf(*target);
    const auto position = std::ranges::find(siblings, window);
    std::rotate(siblings.begin(), position, position + 1);
}

void WindowTree::Destroy(WindowHandle window) {
    const Window* const target = Receiver(window);
    if (target == nullptr) {
        return;
    }
    std::erase(SiblingsOf(*target), window);
    MarkDestroyed(window);
}

void WindowTree::MarkDestroyed(WindowHandle window) {
    Window& target = windows_[IndexOf(window)];
    target.alive = false;
    for (const WindowHandle child : std::exchange(target.children, {})) {
        MarkDestroyed(child);
    }
}

bool WindowTree::Exists(WindowHandle window) const {
    return IsWindow(window) && Live(window) != nullptr;
}

const std::vector<ReceivedMessage>& WindowTree::Received(WindowHandle window) const {
    static const std::vector<ReceivedMessage> kNothing;
    const std::size_t index = IndexOf(window);
    return IsWindow(window) && index < windows_.size() ? windows_[index].received : kNothing;
}

WindowHandle WindowTree::FindTopLevel(std::string_view class_name) {
    return FindChild(WindowHandle::kNone, WindowHandle::kNone, class_name);
}

WindowHandle WindowTree::FindChild(WindowHandle parent, WindowHandle after,
                                   std::string_view class_name) {
    const Window* const container = Live(parent);
    if (container == nullptr) {
        return WindowHandle::kNone;
    }
    const auto& children = container->children;
    auto start = children.begin();
    if (IsWindow(after)) {
        // As in user32, a window that is not a child of `parent` (or has gone)
        // ends the search instead of restarting it.
        start = std::ranges::find(children, after);
        if (start == children.end()) {
            return WindowHandle::kNone;
        }
        ++start;
    }
    const auto found = std::find_if(start, children.end(), [&](WindowHandle child) {
        return SameClass(windows_[IndexOf(child)].class_name, class_name);
    });
    return found == children.end() ? WindowHandle::kNone : *found;
}

WindowHandle WindowTree::FirstSibling(WindowHandle window) {
    const Window* const target = Receiver(window);
    return target == nullptr ? WindowHandle::kNone : SiblingsOf(*target).front();
}

WindowHandle WindowTree::NextSibling(WindowHandle window) {
    const Window* const target = Receiver(window);
    if (target == nullptr) {
        return WindowHandle::kNone;
    }
    const auto& siblings = SiblingsOf(*target);
    const auto next = std::ranges::find(siblings, window) + 1;
    return next == siblings.end() ? WindowHandle::kNone : *next;
}

bool WindowTree::Deliver(WindowHandle window, ReceivedMessage message) {
    Window* const target = Receiver(window);
    if (target == nullptr) {
        return true;
    }
    target->received.push_back(std::move(message));
    if (!target->answers_left) {
        return true;
    }
    if (*target->answers_left == 0) {
        return false;
    }
    --*target->answers_left;
    return true;
}

const std::string& WindowTree::Text(WindowHandle window) const {
    static const std::string kNoText;
    const Window* const target = IsWindow(window) ? Live(window) : nullptr;
    return target == nullptr ? kNoText : target->text;
}

void WindowTree::Type(WindowHandle window, std::string_view text) {
    if (Window* const target = Receiver(window); target != nullptr) {
        target->text = text;
    }
}

void WindowTree::StopAnsweringAfter(WindowHandle window, std::size_t messages) {
    if (Window* const target = Receiver(window); target != nullptr) {
        target->answers_left = messages;
    }
}

bool WindowTree::SetText(WindowHandle window, std::string_view text) {
    // WM_SETTEXT carries a zero-terminated string: nothing after a NUL arrives.
    const std::string_view carried = text.substr(0, text.find('\0'));
    const bool answered = Deliver(
        window,
        {.kind = MessageKind::kSetText, .wparam = 0, .text = std::string(carried), .lparam = 0});
    if (answered) {
        Type(window, carried);
    }
    return answered;
}

bool WindowTree::SendChar(WindowHandle window, std::uint32_t character) {
    return Deliver(window,
                   {.kind = MessageKind::kChar, .wparam = character, .text = {}, .lparam = 0});
}

bool WindowTree::LeftButtonDown(WindowHandle window) {
    return Deliver(window,
                   {.kind = MessageKind::kLeftButtonDown, .wparam = 0, .text = {}, .lparam = 0});
}

bool WindowTree::LeftButtonUp(WindowHandle window) {
    return Deliver(window,
                   {.kind = MessageKind::kLeftButtonUp, .wparam = 0, .text = {}, .lparam = 0});
}

bool WindowTree::KeyUp(WindowHandle window, std::uint32_t virtual_key) {
    return Deliver(window,
                   {.kind = MessageKind::kKeyUp, .wparam = virtual_key, .text = {}, .lparam = 0});
}

// As user32 does it: the length first, then the text into a buffer of that
// length (at most `longest`) and its terminator.
std::optional<NativeText> WindowTree::ReadText(WindowHandle window, std::size_t longest) {
    if (Receiver(window) == nullptr) {
        return NativeText{};
    }
    if (!Deliver(window,
                 {.kind = MessageKind::kGetTextLength, .wparam = 0, .text = {}, .lparam = 0})) {
        return std::nullopt;
    }
    const std::string text = Text(window).substr(0, longest);
    const auto buffer_size = static_cast<std::uint32_t>(text.size() + 1);
    if (!Deliver(window,
                 {.kind = MessageKind::kGetText, .wparam = buffer_size, .text = {}, .lparam = 0})) {
        return std::nullopt;
    }
    return NativeText{text};
}

bool WindowTree::SetNativeText(WindowHandle window, const NativeText& text) {
    return SetText(window, text.bytes);
}

// The tree keeps text as it is given.
NativeText WindowTree::ToNative(std::string_view text) { return NativeText{std::string(text)}; }

void WindowTree::AnswerAgain(WindowHandle window) {
    if (Window* const target = Receiver(window); target != nullptr) {
        target->answers_left.reset();
    }
}

bool WindowTree::SetSelection(WindowHandle window, std::int32_t start, std::int32_t end) {
    return Deliver(window, {.kind = MessageKind::kSetSelection,
                            .wparam = static_cast<std::uint32_t>(start),
                            .text = {},
                            .lparam = static_cast<std::uint32_t>(end)});
}

void WindowTree::KeepLines(WindowHandle window, std::size_t wrap, std::size_t most_copied,
                           bool gives_breaks) {
    if (Window* const target = Receiver(window); target != nullptr) {
        target->wrap = wrap;
        target->most_copied = most_copied;
        target->gives_breaks = gives_breaks;
    }
}

std::vector<WindowTree::ShownLine> WindowTree::ShownLines(WindowHandle window) const {
    const Window* const target = IsWindow(window) ? Live(window) : nullptr;
    if (target == nullptr || !target->wrap) {
        return {};
    }
    const std::string& text = target->text;
    const std::size_t wrap = *target->wrap;
    std::vector<ShownLine> lines;
    for (std::size_t start = 0;;) {
        const std::size_t line_break = std::min(text.find('\n', start), text.size());
        const std::size_t end =
            line_break > start && text[line_break - 1] == '\r' ? line_break - 1 : line_break;
        for (; wrap > 0 && end - start > wrap; start += wrap) {
            lines.push_back({.start = start, .length = wrap, .break_length = 0});
        }
        const bool last = line_break == text.size();
        lines.push_back({.start = start,
                         .length = end - start,
                         .break_length = last ? 0 : line_break + 1 - end});
        if (last) {
            return lines;
        }
        start = line_break + 1;
    }
}

std::optional<std::int32_t> WindowTree::LineCount(WindowHandle window) {
    if (!Deliver(window,
                 {.kind = MessageKind::kGetLineCount, .wparam = 0, .text = {}, .lparam = 0})) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(ShownLines(window).size());
}

std::optional<std::int32_t> WindowTree::LineStart(WindowHandle window, std::uint32_t line) {
    if (!Deliver(window,
                 {.kind = MessageKind::kLineIndex, .wparam = line, .text = {}, .lparam = 0})) {
        return std::nullopt;
    }
    const std::vector<ShownLine> lines = ShownLines(window);
    if (lines.empty()) {
        return 0;
    }
    return line < lines.size() ? static_cast<std::int32_t>(lines[line].start) : -1;
}

std::optional<NativeText> WindowTree::ReadLine(WindowHandle window, std::uint32_t line,
                                               std::size_t longest) {
    if (!Deliver(window, {.kind = MessageKind::kGetLine,
                          .wparam = line,
                          .text = {},
                          .lparam = static_cast<std::uint32_t>(longest)})) {
        return std::nullopt;
    }
    const std::vector<ShownLine> lines = ShownLines(window);
    if (line >= lines.size()) {
        return NativeText{};
    }
    const Window* const target = Live(window);
    const std::size_t most = target == nullptr ? 0 : target->most_copied;
    const std::size_t shown =
        lines[line].length +
        (target != nullptr && target->gives_breaks ? lines[line].break_length : 0);
    const std::size_t copied = std::min({shown, longest, most});
    return NativeText{Text(window).substr(lines[line].start, copied)};
}

}  // namespace lullcast::quill_aol8
