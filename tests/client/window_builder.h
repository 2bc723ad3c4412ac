#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "client/quill_aol8/window_functions.h"
#include "client/quill_aol8/window_tree.h"
#include "core/event_loop.h"
#include "core/window_handle.h"

namespace lullcast::quill_aol8 {

// The client's class names as the client spells them. The code looks them up
// in lower case, so the mixed case here checks that lookups ignore case.
namespace client_class {
inline constexpr std::string_view kFrame = "AOL Frame25";
inline constexpr std::string_view kMdiClient = "MDIClient";
inline constexpr std::string_view kChild = "AOL Child";
inline constexpr std::string_view kToolbarHost = "AOL Toolbar";
inline constexpr std::string_view kToolbarStrip = "_AOL_Toolbar";
inline constexpr std::string_view kIcon = "_AOL_Icon";
inline constexpr std::string_view kStatic = "_AOL_Static";
inline constexpr std::string_view kReadOnlyRichText = "RICHCNTLREADONLY";
inline constexpr std::string_view kComboBox = "_AOL_Combobox";
inline constexpr std::string_view kRichText = "RICHCNTL";
inline constexpr std::string_view kImage = "_AOL_Image";
inline constexpr std::string_view kEdit = "_AOL_Edit";
// A document window of a class other than "aol child".
inline constexpr std::string_view kOtherDocument = "AOL View";
}  // namespace client_class

// Builds client windows for a test, in whichever window system the test runs
// on: natively an in-process WindowTree on a virtual clock, on Windows (and
// Wine) real windows of registered classes and a real message loop. Tests
// written against it run unchanged in both.
class WindowBuilder {
  public:
    WindowBuilder();
    ~WindowBuilder();
    WindowBuilder(const WindowBuilder&) = delete;
    WindowBuilder& operator=(const WindowBuilder&) = delete;
    WindowBuilder(WindowBuilder&&) = delete;
    WindowBuilder& operator=(WindowBuilder&&) = delete;

    // A window of the class under `parent` (0: top-level). As in the window
    // system, a child goes below its siblings, a top-level window above them.
    WindowHandle Create(std::string_view class_name, WindowHandle parent = WindowHandle::kNone);
    void BringToTop(WindowHandle window);
    void Destroy(WindowHandle window);

    // What the window received, in order, texts as UTF-8. A destroyed window
    // keeps what it received before.
    [[nodiscard]] std::vector<ReceivedMessage> Received(WindowHandle window) const;

    // Runs `reaction` inside the window's handling of every message it
    // receives, after recording it: how a control answers input.
    void OnReceive(WindowHandle window, std::function<void(const ReceivedMessage&)> reaction);
    // Runs `event` when the event loop next processes pending events.
    void Post(std::function<void()> event);
    // Runs `tick` through the event loop every `interval`, as a timer does.
    void Every(std::chrono::milliseconds interval, std::function<void()> tick);

    [[nodiscard]] WindowFunctions& Windows();
    [[nodiscard]] EventLoop& Loop();
    // How often the event loop has been asked to process pending events.
    [[nodiscard]] int Yields() const;

  private:
    struct World;
    std::unique_ptr<World> world_;
};

// Messages as a control receives them, for expectations.
inline ReceivedMessage TextSet(std::string_view text) {
    return {.kind = MessageKind::kSetText, .wparam = 0, .text = std::string(text)};
}
inline ReceivedMessage CharTyped(std::uint32_t character) {
    return {.kind = MessageKind::kChar, .wparam = character, .text = {}};
}
inline ReceivedMessage ButtonDown() {
    return {.kind = MessageKind::kLeftButtonDown, .wparam = 0, .text = {}};
}
inline ReceivedMessage ButtonUp() {
    return {.kind = MessageKind::kLeftButtonUp, .wparam = 0, .text = {}};
}
inline ReceivedMessage KeyReleased(std::uint32_t virtual_key) {
    return {.kind = MessageKind::kKeyUp, .wparam = virtual_key, .text = {}};
}

inline void PrintTo(const ReceivedMessage& message, std::ostream* out) {
    static constexpr const char* kNames[] = {"WM_SETTEXT", "WM_CHAR", "WM_LBUTTONDOWN",
                                             "WM_LBUTTONUP", "WM_KEYUP"};
    *out << kNames[static_cast<int>(message.kind)] << '(' << message.wparam;
    if (message.kind == MessageKind::kSetText) {
        *out << ", \"" << message.text << '"';
    }
    *out << ')';
}

}  // namespace lullcast::quill_aol8
