#include "client/quill_aol8/actions.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "client/quill_aol8/locator.h"
#include "core/event_loop.h"
#include "core/pause.h"

namespace lullcast::quill_aol8 {
namespace {

// Presses the toolbar icon once per attempt, and looks for the window only
// after the pause: the client opens it some time after the press, and builds
// it a child at a time. The window is looked up a second time before it is
// used, since the first search ran the event loop and the front-most window
// may have changed meanwhile. A client that leaves the press unanswered gets
// no further attempt.
WindowHandle OpenImWindow(WindowFunctions& windows, EventLoop& loop, OperationMessages& messages) {
    for (int attempt = 0; attempt < kImWindowAttempts; ++attempt) {
        loop.ProcessPendingEvents();
        PressIcon(messages, ToolbarIconAt(windows, kOpenImIconIndex));
        if (!messages.AllAnswered()) {
            return WindowHandle::kNone;
        }
        Pause(loop, kAnnouncementGapSeconds);
        if (IsWindow(FindBuiltImWindow(windows, loop))) {
            const WindowHandle im = FindBuiltImWindow(windows, loop);
            if (IsWindow(im)) {
                return im;
            }
        }
    }
    return WindowHandle::kNone;
}

// The caret goes to the end: a byte count, which an edit control clamps to
// its end also where a character takes two bytes. Only the text counts as
// put back; a control that misses the caret still has it.
bool PutDraftBack(WindowFunctions& windows, WindowHandle input, const NativeText& draft) {
    if (!windows.SetNativeText(input, draft)) {
        return false;
    }
    if (!draft.bytes.empty()) {
        const auto end = static_cast<std::int32_t>(draft.bytes.size());
        windows.SetSelection(input, end, end);
    }
    return true;
}

enum class TailRead : std::uint8_t { kRead, kUnanswered, kNoLines };

// One shown line, into `bytes` without its break, and whether a break ends
// it (`broken` may come in set): the control gave it with one, or its
// characters end before `span`.
TailRead ReadShownLine(WindowFunctions& windows, WindowHandle transcript, std::uint32_t line,
                       std::size_t span, bool last, std::string& bytes, bool& broken) {
    std::optional<NativeText> shown = windows.ReadLine(transcript, line, span);
    if (!shown) {
        return TailRead::kUnanswered;
    }
    bytes = std::move(shown->bytes);
    // Between two shown lines there are at most a line break's characters
    // (CR CR LF where the control marks its own wraps), and a shown line holds
    // no NUL. A copy that falls short, or is padded with NULs, was cut on the
    // way, as Wine 8 cuts EM_GETLINE between processes to some 20 characters:
    // the head is read instead.
    constexpr std::size_t kLongestBreak = 3;
    if ((!last && bytes.size() + kLongestBreak < span) || bytes.find('\0') != std::string::npos) {
        return TailRead::kNoLines;
    }
    broken = broken || bytes.size() < span;
    for (; bytes.ends_with('\r') || bytes.ends_with('\n'); bytes.pop_back()) {
        broken = true;
    }
    return TailRead::kRead;
}

// The last kTailLines lines that the transcript shows, into `text` as lines
// ended by LF. A shown line ends a line of the text where the control gives
// it with its break (a rich edit control does) or where its characters end
// before the next shown line starts (an edit control keeps the break between
// them); otherwise the control wrapped it. The first lines up to the first
// break may be the end of a line that started further up, and are left out.
// kNoLines where the control keeps no lines or its answers do not add up.
TailRead ReadTail(WindowFunctions& windows, WindowHandle transcript, std::string& text) {
    const std::optional<std::int32_t> count = windows.LineCount(transcript);
    if (!count) {
        return TailRead::kUnanswered;
    }
    if (*count <= 0) {
        return TailRead::kNoLines;
    }
    const auto end = static_cast<std::uint32_t>(*count);
    constexpr auto kTail = static_cast<std::uint32_t>(kTailLines);
    const std::uint32_t first = end > kTail ? end - kTail : 0;
    // Each line is read once the next one's start is known, so that a control
    // whose copies come back cut is found out at the first line.
    std::optional<std::int32_t> start = windows.LineStart(transcript, first);
    bool whole = first == 0;
    for (std::uint32_t line = first; line < end; ++line) {
        const bool last = line + 1 == end;
        const std::optional<std::int32_t> next =
            last || !start ? start : windows.LineStart(transcript, line + 1);
        if (!next) {
            return TailRead::kUnanswered;
        }
        if (*start < 0 || *next < *start) {
            return TailRead::kNoLines;
        }
        // A line holds no more characters than there are up to the next one.
        // One longer than the bound ends where it is cut, so that the next
        // shown line is not taken for the rest of it.
        const auto up_to_next = static_cast<std::size_t>(*next - *start);
        bool broken = !last && up_to_next > kLongestTailLine;
        const std::size_t span = last ? kLongestTailLine : std::min(kLongestTailLine, up_to_next);
        std::string bytes;
        if (const TailRead read =
                ReadShownLine(windows, transcript, line, span, last, bytes, broken);
            read != TailRead::kRead) {
            return read;
        }
        text += whole ? bytes : "";
        if (broken && !last) {
            text += whole ? "\n" : "";
            whole = true;
        }
        start = next;
    }
    return TailRead::kRead;
}

}  // namespace

void OperationMessages::SetText(WindowHandle window, std::string_view text) {
    SendIfAllAnswered([&] { return windows_.SetText(window, text); });
}

void OperationMessages::SetNativeText(WindowHandle window, const NativeText& text) {
    SendIfAllAnswered([&] { return windows_.SetNativeText(window, text); });
}

void OperationMessages::SendChar(WindowHandle window, std::uint32_t character) {
    SendIfAllAnswered([&] { return windows_.SendChar(window, character); });
}

void OperationMessages::LeftButtonDown(WindowHandle window) {
    SendIfAllAnswered([&] { return windows_.LeftButtonDown(window); });
}

void OperationMessages::LeftButtonUp(WindowHandle window) {
    SendIfAllAnswered([&] { return windows_.LeftButtonUp(window); });
}

void OperationMessages::KeyUp(WindowHandle window, std::uint32_t virtual_key) {
    SendIfAllAnswered([&] { return windows_.KeyUp(window, virtual_key); });
}

void ReplaceText(OperationMessages& messages, WindowHandle window, std::string_view text) {
    messages.SetText(window, "");
    messages.SetText(window, text);
}

void ReplaceText(OperationMessages& messages, WindowHandle window, const NativeText& text) {
    messages.SetNativeText(window, NativeText{});
    messages.SetNativeText(window, text);
}

void PressIcon(OperationMessages& messages, WindowHandle window) {
    messages.LeftButtonDown(window);
    messages.KeyUp(window, kSpaceKey);
}

void ClickIcon(OperationMessages& messages, WindowHandle window) {
    messages.LeftButtonDown(window);
    messages.LeftButtonUp(window);
}

std::optional<InterruptedLine> SendChatLine(WindowFunctions& windows, EventLoop& loop,
                                            std::string_view text) {
    const WindowHandle room = FindChatWindow(windows, loop);
    const WindowHandle input = windows.FindChild(room, WindowHandle::kNone, kRichTextClass);
    // Read first: an input that does not answer, or holds more than can be
    // kept, is left as it is and the line is not sent.
    const std::optional<NativeText> draft = windows.ReadText(input, kLongestDraft + 1);
    if (!draft || draft->bytes.size() > kLongestDraft) {
        return std::nullopt;
    }
    const NativeText line = windows.ToNative(text);
    OperationMessages messages(windows);
    ReplaceText(messages, input, NativeText{});
    ReplaceText(messages, input, line);
    messages.SendChar(input, kEnterCharacter);
    if (!messages.AllAnswered() ||
        (!draft->bytes.empty() && !PutDraftBack(windows, input, *draft))) {
        return InterruptedLine{.input = input, .line = line, .draft = *draft};
    }
    return std::nullopt;
}

bool SettleInterruptedLine(WindowFunctions& windows, const InterruptedLine& interrupted) {
    // Enough to tell the line from anything longer.
    const std::optional<NativeText> now =
        windows.ReadText(interrupted.input, interrupted.line.bytes.size() + 1);
    if (!now) {
        return false;
    }
    const bool left_empty = now->bytes.empty() && !interrupted.draft.bytes.empty();
    if (left_empty || *now == interrupted.line) {
        return PutDraftBack(windows, interrupted.input, interrupted.draft);
    }
    return true;
}

void SendInstantMessage(WindowFunctions& windows, EventLoop& loop, std::string_view recipient,
                        std::string_view text) {
    OperationMessages messages(windows);
    const WindowHandle im = OpenImWindow(windows, loop, messages);
    if (!IsWindow(im)) {
        return;
    }
    const WindowHandle to = windows.FindChild(im, WindowHandle::kNone, kEditClass);
    const WindowHandle body = windows.FindChild(im, WindowHandle::kNone, kRichTextClass);
    const WindowHandle send = NthChild(windows, im, kIconClass, kImSendIconPosition);
    ReplaceText(messages, to, recipient);
    ReplaceText(messages, body, text);
    PressIcon(messages, send);
}

std::optional<ClientOperations::Transcript> ReadFrontTranscript(WindowFunctions& windows,
                                                                EventLoop& loop,
                                                                std::size_t longest) {
    const WindowHandle room = FindChatWindow(windows, loop);
    const WindowHandle transcript =
        windows.FindChild(room, WindowHandle::kNone, kReadOnlyRichTextClass);
    if (!IsWindow(room) || !IsWindow(transcript)) {
        return std::nullopt;
    }
    NativeText tail;
    switch (ReadTail(windows, transcript, tail.bytes)) {
        case TailRead::kRead:
            return ClientOperations::Transcript{
                .room = transcript, .text = windows.FromNative(tail), .end_unread = false};
        case TailRead::kUnanswered:
            return std::nullopt;
        case TailRead::kNoLines:
            break;
    }
    // One byte more than kept tells a text that fills the bound from one
    // that was cut: a cut line would look new at every read.
    std::optional<NativeText> text = windows.ReadText(transcript, longest + 1);
    if (!text) {
        return std::nullopt;
    }
    const bool cut = text->bytes.size() > longest;
    if (cut) {
        text->bytes.resize(longest);
        const std::size_t last_break = text->bytes.rfind('\n');
        text->bytes.resize(last_break == std::string::npos ? 0 : last_break + 1);
    }
    return ClientOperations::Transcript{
        .room = transcript, .text = windows.FromNative(*text), .end_unread = cut};
}

void ClickFrontChildIcon(WindowFunctions& windows, int position) {
    const WindowHandle child = FindFrontChild(windows);
    OperationMessages messages(windows);
    ClickIcon(messages, NthChild(windows, child, kIconClass, position));
}

}  // namespace lullcast::quill_aol8
