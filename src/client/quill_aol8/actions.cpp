#include "client/quill_aol8/actions.h"

#include "client/quill_aol8/locator.h"
#include "core/event_loop.h"
#include "core/pause.h"

namespace lullcast::quill_aol8 {
namespace {

// Presses the toolbar icon once per attempt, and looks for the window only
// after the pause: the client opens it some time after the press.
bool OpenImWindow(WindowFunctions& windows, EventLoop& loop) {
    for (int attempt = 0; attempt < kImWindowAttempts; ++attempt) {
        loop.ProcessPendingEvents();
        PressIcon(windows, ToolbarIconAt(windows, kOpenImIconIndex));
        Pause(loop, kAnnouncementGapSeconds);
        if (IsWindow(FindImWindow(windows, loop))) {
            return true;
        }
    }
    return false;
}

}  // namespace

void ReplaceText(WindowFunctions& windows, WindowHandle window, std::string_view text) {
    windows.SetText(window, "");
    windows.SetText(window, text);
}

void PressIcon(WindowFunctions& windows, WindowHandle window) {
    windows.LeftButtonDown(window);
    windows.KeyUp(window, kSpaceKey);
}

void ClickIcon(WindowFunctions& windows, WindowHandle window) {
    windows.LeftButtonDown(window);
    windows.LeftButtonUp(window);
}

void SendChatLine(WindowFunctions& windows, EventLoop& loop, std::string_view text) {
    const WindowHandle room = FindChatWindow(windows, loop);
    const WindowHandle input = windows.FindChild(room, WindowHandle::kNone, kRichTextClass);
    ReplaceText(windows, input, "");
    ReplaceText(windows, input, text);
    windows.SendChar(input, kEnterCharacter);
}

void SendInstantMessage(WindowFunctions& windows, EventLoop& loop, std::string_view recipient,
                        std::string_view text) {
    if (!OpenImWindow(windows, loop)) {
        return;
    }
    // The window is looked up again: the search that ended the attempts ran
    // the event loop, and the front-most window may have changed since.
    const WindowHandle im = FindImWindow(windows, loop);
    const WindowHandle to = windows.FindChild(im, WindowHandle::kNone, kEditClass);
    const WindowHandle body = windows.FindChild(im, WindowHandle::kNone, kRichTextClass);
    const WindowHandle send = NthChild(windows, im, kIconClass, kImSendIconPosition);
    ReplaceText(windows, to, recipient);
    ReplaceText(windows, body, text);
    PressIcon(windows, send);
}

void ClickFrontChildIcon(WindowFunctions& windows, int position) {
    const WindowHandle child = FindFrontChild(windows);
    ClickIcon(windows, NthChild(windows, child, kIconClass, position));
}

}  // namespace lullcast::quill_aol8
