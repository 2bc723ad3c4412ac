#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <memory>

#include "client/quill_aol8/actions.h"
#include "client/quill_aol8/quill_client.h"
#include "client/quill_aol8/window_tree.h"

namespace lullcast::quill_aol8 {

// The client's class names as the client spells them. The code looks them up
// in lower case, so the mixed case here checks that lookups ignore case.
namespace cls {
inline constexpr std::string_view kFrame = "AOL Frame25", kMdiClient = "MDIClient",
                                  kChild = "AOL Child", kToolbarHost = "AOL Toolbar",
                                  kToolbarStrip = "_AOL_Toolbar", kIcon = "_AOL_Icon",
                                  kStatic = "_AOL_Static", kReadOnlyRichText = "RICHCNTLREADONLY",
                                  kComboBox = "_AOL_Combobox", kRichText = "RICHCNTL",
                                  kImage = "_AOL_Image", kEdit = "_AOL_Edit",
                                  kOtherDocument = "AOL View";  // a document, not "aol child"
}  // namespace cls
constexpr WindowHandle kNone = WindowHandle::kNone;

// Windows on the platform's window system (natively the in-process tree on a
// virtual clock, under Wine real windows): only the Platform differs. As the
// event loop, runs posted events and timer ticks before the platform's own.
class WindowBuilder final : public EventLoop {
  public:
    WindowBuilder();
    ~WindowBuilder() override;
    // A child goes below its siblings, a top-level window (parent 0) above;
    // with one child of each class in `children`.
    WindowHandle Create(std::string_view class_name, WindowHandle parent = kNone,
                        const std::vector<std::string_view>& children = {}) {
        const WindowHandle window = Make(class_name, parent);
        for (const std::string_view child : children) Make(child, window);
        return window;
    }
    std::vector<WindowHandle> Create(std::string_view class_name, WindowHandle parent, int count) {
        std::vector<WindowHandle> created;
        while (count-- > 0) created.push_back(Create(class_name, parent));
        return created;
    }
    void BringToTop(WindowHandle window);
    void Destroy(WindowHandle window);
    // What the window received, in order, texts as UTF-8.
    [[nodiscard]] std::vector<ReceivedMessage> Received(WindowHandle window) const;
    // The window's text, as the user's typing sets it: no message is recorded.
    void Type(WindowHandle window, std::string_view text);
    [[nodiscard]] std::string Text(WindowHandle window) const;
#ifndef _WIN32
    // The window answers `messages` more, then stops answering (natively only:
    // a real window stops only when its thread does).
    void StopAnsweringAfter(WindowHandle window, std::size_t messages);
    void AnswerAgain(WindowHandle window);
    // The window answers the line messages as an edit control does (natively
    // only: under Wine the stand-in client's controls answer them).
    void KeepLines(WindowHandle window, std::size_t wrap,
                   std::size_t most_copied = std::numeric_limits<std::size_t>::max(),
                   bool gives_breaks = false);
#endif

    void Post(std::function<void()> event) { posted_.push_back(std::move(event)); }
    void Every(std::chrono::milliseconds interval, std::function<void()> tick) {
        ticks_.push_back({.due = Now() + interval, .interval = interval, .run = std::move(tick)});
    }
    [[nodiscard]] int Yields() const { return yields_; }

    [[nodiscard]] MonoTime Now() const override { return loop_.Now(); }
    void ProcessPendingEvents() override {
        ++yields_;
        for (const auto& event : std::exchange(posted_, {})) event();
        for (Tick& tick : ticks_) {
            if (Now() >= tick.due) {
                tick.due = Now() + tick.interval;
                tick.run();
            }
        }
        loop_.ProcessPendingEvents();
    }
    void WaitForEventOrDeadline(MonoTime deadline) override {
        for (const Tick& tick : ticks_) deadline = std::min(deadline, tick.due);
        loop_.WaitForEventOrDeadline(deadline);
    }

  private:
    struct Platform;
    WindowHandle Make(std::string_view class_name, WindowHandle parent);
    struct Tick {
        MonoTime due, interval;
        std::function<void()> run;
    };
    std::unique_ptr<Platform> platform_;
    EventLoop& loop_;
    std::vector<std::function<void()>> posted_;
    std::vector<Tick> ticks_;
    int yields_ = 0;

  public:
    WindowFunctions& windows;
};

inline ReceivedMessage TextSet(std::string_view t) {
    return {MessageKind::kSetText, 0, std::string(t), 0};
}
inline const ReceivedMessage kEnter{MessageKind::kChar, 13, {}, 0};
inline const ReceivedMessage kButtonDown{MessageKind::kLeftButtonDown, 0, {}, 0};
inline const ReceivedMessage kButtonUp{MessageKind::kLeftButtonUp, 0, {}, 0};
inline const ReceivedMessage kSpaceUp{MessageKind::kKeyUp, 0x20, {}, 0};
inline void PrintTo(const ReceivedMessage& m, std::ostream* out) {
    *out << "message " << int(m.kind) << '(' << m.wparam << ", \"" << m.text << "\", " << m.lparam
         << ')';
}

inline const std::vector<std::string_view> kChatRoomParts{cls::kStatic, cls::kReadOnlyRichText,
                                                          cls::kComboBox, cls::kIcon, cls::kImage};

// The client's frame with its MDI area and toolbar icons; rooms and IM
// windows open in front, as the client shows them.
struct ClientTest : ::testing::Test {
    struct ChatRoom {
        WindowHandle window, input;
    };
    struct ImWindow {
        WindowHandle window, recipient, body;
        std::vector<WindowHandle> icons;
    };
    ChatRoom OpenChatRoom() {
        const WindowHandle room = b.Create(cls::kChild, area, kChatRoomParts);
        // The transcript comes first: the input's lookup must pass over it.
        const ChatRoom opened{room, b.Create(cls::kRichText, room)};
        b.BringToTop(room);
        return opened;
    }
    ImWindow OpenImWindow() {
        const WindowHandle im = b.Create(cls::kChild, area, {cls::kStatic});
        const ImWindow opened{im, b.Create(cls::kEdit, im), b.Create(cls::kRichText, im),
                              b.Create(cls::kIcon, im, kImSendIconPosition)};
        b.BringToTop(im);
        return opened;
    }

    WindowBuilder b;
    WindowHandle frame = b.Create(cls::kFrame);
    WindowHandle area = b.Create(cls::kMdiClient, frame);
    std::vector<WindowHandle> toolbar =
        b.Create(cls::kIcon, b.Create(cls::kToolbarStrip, b.Create(cls::kToolbarHost, frame)), 8);
    QuillClient quill{b.windows, b};
};

}  // namespace lullcast::quill_aol8
