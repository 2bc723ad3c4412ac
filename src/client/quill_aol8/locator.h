#pragma once

#include <cstdint>
#include <string_view>

#include "client/quill_aol8/window_functions.h"
#include "core/window_handle.h"

namespace lullcast {
class EventLoop;
}

namespace lullcast::quill_aol8 {

// The client's window classes, in lower case: lookups ignore case.
inline constexpr std::string_view kFrameClass = "aol frame25";
inline constexpr std::string_view kMdiClientClass = "mdiclient";
inline constexpr std::string_view kDocumentClass = "aol child";
inline constexpr std::string_view kToolbarHostClass = "aol toolbar";
inline constexpr std::string_view kToolbarStripClass = "_aol_toolbar";
inline constexpr std::string_view kIconClass = "_aol_icon";
inline constexpr std::string_view kStaticClass = "_aol_static";
inline constexpr std::string_view kReadOnlyRichTextClass = "richcntlreadonly";
inline constexpr std::string_view kComboBoxClass = "_aol_combobox";
inline constexpr std::string_view kRichTextClass = "richcntl";
inline constexpr std::string_view kImageClass = "_aol_image";
inline constexpr std::string_view kEditClass = "_aol_edit";

// The send icon among an instant-message window's icons (1-based).
inline constexpr int kImSendIconPosition = 12;

// Every lookup starts again from the client's top-level frame, so it sees the
// client as it is now. None checks the step before it: a window that is not
// there is 0, and 0 passed on as a parent searches the top-level windows.

// The first top-level window of the client's frame class.
[[nodiscard]] WindowHandle FindClientFrame(WindowFunctions& windows);

// The first "aol child" document window of the frame's MDI client area.
[[nodiscard]] WindowHandle FindFrontChild(WindowFunctions& windows);

// The n-th child of `parent` of the class (from 1), each step starting after
// the window the step before found. A step after a miss starts again at the
// first child, so with fewer children than `n` the count wraps round through
// a 0. Gives 0 for `n` below 1.
[[nodiscard]] WindowHandle NthChild(WindowFunctions& windows, WindowHandle parent,
                                    std::string_view class_name, int n);

// The topmost window of the MDI client area that looks like a chat room (or,
// for FindImWindow, like an instant-message window). The event loop runs once
// per window examined, so other handlers may run in the middle of a search.
[[nodiscard]] WindowHandle FindChatWindow(WindowFunctions& windows, EventLoop& loop);
[[nodiscard]] WindowHandle FindImWindow(WindowFunctions& windows, EventLoop& loop);

// The topmost instant-message window that is built whole: one that has its
// twelfth icon, its recipient field and its text as well as the signature.
// The client makes a window a child at a time, so windows in front of it may
// carry the signature while their icons are still being made; the search
// walks past them.
[[nodiscard]] WindowHandle FindBuiltImWindow(WindowFunctions& windows, EventLoop& loop);

// The icon at the 0-based `index` of the client's toolbar strip, stepped as
// NthChild steps; 0 for a negative index.
[[nodiscard]] WindowHandle ToolbarIconAt(WindowFunctions& windows, std::int16_t index);

}  // namespace lullcast::quill_aol8
