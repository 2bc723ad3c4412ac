#include "client/quill_aol8/locator.h"

#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

using LocatorTest = ClientTest;

TEST(Locator, DocumentsOfTheMdiAreaAreFoundByTheirSignatures) {
    using namespace cls;
    using Classes = std::vector<std::string_view>;
    Classes room = kChatRoomParts;
    room.push_back(kRichText);
    const Classes im{kStatic, kEdit, kIcon, kRichText};
    const Classes no_image{kStatic, kReadOnlyRichText, kComboBox, kIcon, kRichText};
    Classes busy_room = room, room_with_edit = room;
    busy_room.insert(busy_room.end(), {kStatic, kStatic});
    room_with_edit.push_back(kEdit);
    struct Case {
        std::size_t front, chat, im;  // the document found, topmost first from 1; 0: none
        const char* name;
        std::vector<std::pair<std::string_view, Classes>> documents;
    } const cases[] = {
        {0, 0, 0, "no documents", {}},
        {1, 1, 0, "chat room", {{kChild, busy_room}}},
        {1, 0, 0, "chat room without image", {{kChild, no_image}}},
        {1, 0, 0, "transcript but no input", {{kChild, kChatRoomParts}}},
        {1, 1, 1, "chat room with edit", {{kChild, room_with_edit}}},
        {1, 0, 0, "im window without static", {{kChild, {kEdit, kIcon, kRichText}}}},
        {2, 2, 3, "top", {{kOtherDocument, {}}, {kChild, room}, {kChild, im}, {kChild, room}}},
        {2, 1, 0, "any class beside an aol child", {{kOtherDocument, room}, {kChild, {}}}},
        {0, 0, 0, "no aol child to start from", {{kOtherDocument, room}}},
    };
    for (const Case& c : cases) {
        WindowBuilder b;
        const WindowHandle area = b.Create(kMdiClient, b.Create(kFrame));
        std::vector<WindowHandle> found{kNone};
        for (const auto& [class_name, children] : c.documents) {
            found.push_back(b.Create(class_name, area, children));
        }
        // The event loop runs once for each document examined.
        const auto examined = [&](std::size_t n) {
            return n != 0 ? n : c.front != 0 ? c.documents.size() : 0;
        };
        EXPECT_EQ(FindFrontChild(b.windows), found[c.front]) << c.name;
        EXPECT_EQ(FindChatWindow(b.windows, b), found[c.chat]) << c.name;
        EXPECT_EQ(std::size_t(b.Yields()), examined(c.chat)) << c.name;
        EXPECT_EQ(FindImWindow(b.windows, b), found[c.im]) << c.name;
        EXPECT_EQ(std::size_t(b.Yields()), examined(c.chat) + examined(c.im)) << c.name;
    }
}

// The client adds an IM window's icons one at a time: it is built whole once
// the send icon, the twelfth, is there.
TEST(Locator, AnImWindowIsBuiltWholeAtItsTwelfthIcon) {
    for (const int icons : {kImSendIconPosition - 1, kImSendIconPosition}) {
        WindowBuilder b;
        const WindowHandle area = b.Create(cls::kMdiClient, b.Create(cls::kFrame));
        const WindowHandle im =
            b.Create(cls::kChild, area, {cls::kStatic, cls::kEdit, cls::kRichText});
        b.Create(cls::kIcon, im, icons);
        EXPECT_EQ(FindBuiltImWindow(b.windows, b), icons == 12 ? im : kNone) << icons;
    }
}

TEST(Locator, ToolbarIconsAreSteppedThroughAndWrapRound) {
    struct Case {
        int icons;
        std::int16_t index;
        std::size_t expected;  // 1-based icon, 0 for none
    } const cases[] = {{8, 0, 1}, {8, 4, 5}, {8, -1, 0}, {3, 4, 1}, {4, 4, 0}};
    for (const Case& c : cases) {
        WindowBuilder b;
        const WindowHandle strip =
            b.Create(cls::kToolbarStrip, b.Create(cls::kToolbarHost, b.Create(cls::kFrame)));
        b.Create(cls::kStatic, strip);  // other classes do not count
        const std::vector<WindowHandle> icons = b.Create(cls::kIcon, strip, c.icons);
        EXPECT_EQ(ToolbarIconAt(b.windows, c.index),
                  c.expected == 0 ? kNone : icons.at(c.expected - 1))
            << c.icons << " icons, index " << c.index;
    }
}

TEST(Locator, WithoutTheFrameTheChainsSearchTheTopLevelWindows) {
    WindowBuilder b;
    const WindowHandle stray_child = b.Create(cls::kChild);
    const WindowHandle stray_icon = b.Create(cls::kIcon);
    EXPECT_EQ(FindFrontChild(b.windows), stray_child);
    EXPECT_EQ(ToolbarIconAt(b.windows, 0), stray_icon);
    EXPECT_EQ(ToolbarIconAt(b.windows, 1), kNone);
}

TEST_F(LocatorTest, ARoomClosedDuringTheSearchIsNotReturned) {
    const ChatRoom lower = OpenChatRoom();
    const ChatRoom upper = OpenChatRoom();
    b.BringToTop(b.Create(cls::kChild, area));
    // The search yields at the first candidate, before it reaches either room.
    b.Post([&] { b.Destroy(upper.window); });
    EXPECT_EQ(FindChatWindow(b.windows, b), lower.window);
    // A candidate closed while it is examined ends the walk: its handle is
    // stale and has no next sibling.
    const WindowHandle top = FindFrontChild(b.windows);
    b.Post([&] { b.Destroy(top); });
    EXPECT_EQ(FindChatWindow(b.windows, b), kNone);
}

}  // namespace
}  // namespace lullcast::quill_aol8
