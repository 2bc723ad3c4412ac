#include "client/quill_aol8/actions.h"

#include <optional>

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

// Sent even when the client stopped answering part-way through the line: the
// messages it has yet to take may include a clearing, and the draft queued
// behind them puts the text back once it takes them. The caret goes to the
// end (a byte count, which an edit control clamps to its end also where a
// character takes two bytes).
void RestoreDraft(WindowFunctions& windows, WindowHandle input, const NativeText& draft) {
    if (windows.SetNativeText(input, draft)) {
        const auto end = static_cast<std::int32_t>(draft.bytes.size());
        windows.SetSelection(input, end, end);
    }
}

}  // namespace

void OperationMessages::SetText(WindowHandle window, std::string_view text) {
    SendIfAllAnswered([&] { return windows_.SetText(window, text); });
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

void PressIcon(OperationMessages& messages, WindowHandle window) {
    messages.LeftButtonDown(window);
    messages.KeyUp(window, kSpaceKey);
}

void ClickIcon(OperationMessages& messages, WindowHandle window) {
    messages.LeftButtonDown(window);
    messages.LeftButtonUp(window);
}

void SendChatLine(WindowFunctions& windows, EventLoop& loop, std::string_view text) {
    const WindowHandle room = FindChatWindow(windows, loop);
    const WindowHandle input = windows.FindChild(room, WindowHandle::kNone, kRichTextClass);
    // Read first: an input that does not answer, or holds more than can be
    // kept, is left as it is and the line is not sent.
    const std::optional<NativeText> draft = windows.ReadText(input, kLongestDraft);
    if (!draft) {
        return;
    }
    OperationMessages messages(windows);
    ReplaceText(messages, input, "");
    ReplaceText(messages, input, text);
    messages.SendChar(input, kEnterCharacter);
    if (!draft->bytes.empty()) {
        RestoreDraft(windows, input, *draft);
    }
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

void ClickFrontChildIcon(WindowFunctions& windows, int position) {
    const WindowHandle child = FindFrontChild(windows);
    OperationMessages messages(windows);
    ClickIcon(messages, NthChild(windows, child, kIconClass, position));
}

}  // namespace lullcast::quill_aol8
