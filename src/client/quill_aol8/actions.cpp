#include "client/quill_aol8/actions.h"

#include "client/quill_aol8/locator.h"
#include "core/event_loop.h"
#include "core/pause.h"

namespace lullcast::quill_aol8 {
namespace {

// The client builds an IM window a child at a time, and the window can carry
// the IM signature before its send icon exists. Pressing "the twelfth icon"
// of a half-built window would step round to one of its other icons, which
// can be any of its commands; so a window counts only once it has its twelfth
// icon (counted without stepping round), its recipient field and its text.
bool IsBuiltImWindow(WindowFunctions& windows, WindowHandle im) {
    if (!IsWindow(im) || !IsWindow(windows.FindChild(im, WindowHandle::kNone, kEditClass)) ||
        !IsWindow(windows.FindChild(im, WindowHandle::kNone, kRichTextClass))) {
        return false;
    }
    WindowHandle icon = WindowHandle::kNone;
    for (int position = 1; position <= kImSendIconPosition; ++position) {
        icon = windows.FindChild(im, icon, kIconClass);
        if (!IsWindow(icon)) {
            return false;
        }
    }
    return true;
}

// Presses the toolbar icon once per attempt, and looks for the window only
// after the pause: the client opens it some time after the press. The window
// is looked up a second time before it is used, since the first search ran
// the event loop and the front-most window may have changed meanwhile; a
// window that is not built yet makes the attempt fail like no window.
WindowHandle OpenImWindow(WindowFunctions& windows, EventLoop& loop) {
    for (int attempt = 0; attempt < kImWindowAttempts; ++attempt) {
        loop.ProcessPendingEvents();
        PressIcon(windows, ToolbarIconAt(windows, kOpenImIconIndex));
        Pause(loop, kAnnouncementGapSeconds);
        if (IsBuiltImWindow(windows, FindImWindow(windows, loop))) {
            const WindowHandle im = FindImWindow(windows, loop);
            if (IsBuiltImWindow(windows, im)) {
                return im;
            }
        }
    }
    return WindowHandle::kNone;
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
    const WindowHandle im = OpenImWindow(windows, loop);
    if (!IsWindow(im)) {
        return;
    }
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
