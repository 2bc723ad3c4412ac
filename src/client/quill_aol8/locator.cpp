#include "client/quill_aol8/locator.h"

#include <algorithm>
#include <array>
#include <span>

#include "core/event_loop.h"

namespace lullcast::quill_aol8 {
namespace {

// A window carries a signature when it has at least one direct child of
// every class in it. The classes are in the order they are looked up.
constexpr std::array kChatRoomSignature{kStaticClass, kReadOnlyRichTextClass, kComboBoxClass,
                                        kIconClass,   kRichTextClass,         kImageClass};
constexpr std::array kImWindowSignature{kStaticClass, kEditClass, kIconClass, kRichTextClass};

bool Carries(WindowFunctions& windows, WindowHandle candidate,
             std::span<const std::string_view> signature) {
    return std::ranges::all_of(signature, [&](std::string_view class_name) {
        return IsWindow(windows.FindChild(candidate, WindowHandle::kNone, class_name));
    });
}

// Pressing "the twelfth icon" of a window that has fewer would step round to
// one of its other icons, which can be any of its commands: the icons are
// counted here without stepping round.
bool HasImSendIcon(WindowFunctions& windows, WindowHandle im) {
    WindowHandle icon = WindowHandle::kNone;
    for (int position = 1; position <= kImSendIconPosition; ++position) {
        icon = windows.FindChild(im, icon, kIconClass);
        if (!IsWindow(icon)) {
            return false;
        }
    }
    return true;
}

bool IsAnyWindow(WindowFunctions& /*windows*/, WindowHandle /*candidate*/) { return true; }

// Tests every child of the MDI client area from the top down, whatever its
// class, as long as the area has a document window to start from; a window
// that carries the signature must also pass `accept`.
WindowHandle FindFirstCarrying(WindowFunctions& windows, EventLoop& loop,
                               std::span<const std::string_view> signature,
                               bool (*accept)(WindowFunctions&, WindowHandle) = IsAnyWindow) {
    for (WindowHandle candidate = windows.FirstSibling(FindFrontChild(windows));
         IsWindow(candidate); candidate = windows.NextSibling(candidate)) {
        loop.ProcessPendingEvents();
        if (Carries(windows, candidate, signature) && accept(windows, candidate)) {
            return candidate;
        }
    }
    return WindowHandle::kNone;
}

}  // namespace

WindowHandle FindClientFrame(WindowFunctions& windows) { return windows.FindTopLevel(kFrameClass); }

WindowHandle FindFrontChild(WindowFunctions& windows) {
    const WindowHandle frame = FindClientFrame(windows);
    const WindowHandle area = windows.FindChild(frame, WindowHandle::kNone, kMdiClientClass);
    return windows.FindChild(area, WindowHandle::kNone, kDocumentClass);
}

WindowHandle NthChild(WindowFunctions& windows, WindowHandle parent, std::string_view class_name,
                      int n) {
    WindowHandle found = WindowHandle::kNone;
    for (int step = 0; step < n; ++step) {
        found = windows.FindChild(parent, found, class_name);
    }
    return found;
}

WindowHandle FindChatWindow(WindowFunctions& windows, EventLoop& loop) {
    return FindFirstCarrying(windows, loop, kChatRoomSignature);
}

WindowHandle FindImWindow(WindowFunctions& windows, EventLoop& loop) {
    return FindFirstCarrying(windows, loop, kImWindowSignature);
}

WindowHandle FindBuiltImWindow(WindowFunctions& windows, EventLoop& loop) {
    return FindFirstCarrying(windows, loop, kImWindowSignature, HasImSendIcon);
}

WindowHandle ToolbarIconAt(WindowFunctions& windows, std::int16_t index) {
    const WindowHandle frame = FindClientFrame(windows);
    const WindowHandle host = windows.FindChild(frame, WindowHandle::kNone, kToolbarHostClass);
    const WindowHandle strip = windows.FindChild(host, WindowHandle::kNone, kToolbarStripClass);
    return NthChild(windows, strip, kIconClass, index + 1);
}

}  // namespace lullcast::quill_aol8
