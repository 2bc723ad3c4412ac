#include "client/quill_aol8/locator.h"

#include <gtest/gtest.h>

#include "client_fixture.h"

namespace lullcast::quill_aol8 {
namespace {

namespace cls = client_class;
constexpr WindowHandle kNone = WindowHandle::kNone;

using LocatorTest = ClientTest;

TEST_F(LocatorTest, WithoutTheClientEveryLookupGivesZero) {
    EXPECT_EQ(FindClientFrame(windows), kNone);
    EXPECT_EQ(FindFrontChild(windows), kNone);
    EXPECT_EQ(FindChatWindow(windows, loop), kNone);
    EXPECT_EQ(FindImWindow(windows, loop), kNone);
    EXPECT_EQ(ToolbarIconAt(windows, 0), kNone);
    EXPECT_EQ(builder.Yields(), 0);
}

TEST_F(LocatorTest, WithoutDocumentsOnlyTheToolbarIsFound) {
    const Client aol = AddClient();
    EXPECT_EQ(FindClientFrame(windows), aol.frame);
    EXPECT_EQ(FindFrontChild(windows), kNone);
    EXPECT_EQ(FindChatWindow(windows, loop), kNone);
    EXPECT_EQ(FindImWindow(windows, loop), kNone);
    EXPECT_EQ(ToolbarIconAt(windows, 0), aol.toolbar_icons[0]);
}

TEST_F(LocatorTest, ToolbarIconsAreSteppedThroughAndWrapRound) {
    struct Case {
        int icons;
        std::int16_t index;
        int expected;  // 1-based icon, 0 for none
    };
    for (const Case& c : {Case{8, 0, 1}, Case{8, 4, 5}, Case{8, -1, 0}, Case{8, -32768, 0},
                          Case{3, 4, 1}, Case{4, 4, 0}, Case{5, 4, 5}}) {
        WindowBuilder local;
        WindowFunctions& local_windows = local.Windows();
        const WindowHandle frame = local.Create(cls::kFrame);
        const WindowHandle strip =
            local.Create(cls::kToolbarStrip, local.Create(cls::kToolbarHost, frame));
        std::vector<WindowHandle> icons;
        for (int i = 0; i < c.icons; ++i) {
            icons.push_back(local.Create(cls::kIcon, strip));
            local.Create(cls::kStatic, strip);  // other classes do not count
        }
        const WindowHandle expected =
            c.expected == 0 ? kNone : icons[static_cast<std::size_t>(c.expected - 1)];
        EXPECT_EQ(ToolbarIconAt(local_windows, c.index), expected)
            << c.icons << " icons, index " << c.index;
    }
}

TEST_F(LocatorTest, FrontChildIsTheTopmostAolChildOfTheMdiArea) {
    const Client aol = AddClient();
    const WindowHandle back = builder.Create(cls::kChild, aol.area);
    const WindowHandle front = builder.Create(cls::kChild, aol.area);
    builder.Create(cls::kOtherDocument, aol.area);
    builder.BringToTop(front);
    EXPECT_EQ(FindFrontChild(windows), front);
    builder.BringToTop(builder.Create(cls::kOtherDocument, aol.area));
    EXPECT_EQ(FindFrontChild(windows), front);
    builder.BringToTop(back);
    EXPECT_EQ(FindFrontChild(windows), back);
}

TEST_F(LocatorTest, SignaturesNeedOneDirectChildOfEachClass) {
    const std::vector<std::string_view> chat_room{cls::kStatic,   cls::kReadOnlyRichText,
                                                  cls::kComboBox, cls::kIcon,
                                                  cls::kRichText, cls::kImage};
    auto with = [](std::vector<std::string_view> classes, std::string_view extra) {
        classes.push_back(extra);
        return classes;
    };
    auto without = [](std::vector<std::string_view> classes, std::string_view missing) {
        std::erase(classes, missing);
        return classes;
    };
    struct Case {
        const char* name;
        std::vector<std::string_view> children;
        bool chat_room;
        bool im_window;
    };
    const std::vector<Case> cases{
        {"chat room", chat_room, true, false},
        {"chat room with three statics", with(with(chat_room, cls::kStatic), cls::kStatic), true,
         false},
        {"chat room without image", without(chat_room, cls::kImage), false, false},
        {"chat room with edit", with(chat_room, cls::kEdit), true, true},
        {"transcript but no input", without(chat_room, cls::kRichText), false, false},
        {"im window", {cls::kStatic, cls::kEdit, cls::kIcon, cls::kRichText}, false, true},
        {"im window without static", {cls::kEdit, cls::kIcon, cls::kRichText}, false, false},
    };
    for (const Case& c : cases) {
        WindowBuilder local;
        const WindowHandle frame = local.Create(cls::kFrame);
        const WindowHandle area = local.Create(cls::kMdiClient, frame);
        const WindowHandle candidate = local.Create(cls::kChild, area);
        for (const std::string_view child_class : c.children) {
            local.Create(child_class, candidate);
        }
        EXPECT_EQ(FindChatWindow(local.Windows(), local.Loop()), c.chat_room ? candidate : kNone)
            << c.name;
        EXPECT_EQ(FindImWindow(local.Windows(), local.Loop()), c.im_window ? candidate : kNone)
            << c.name;
    }
}

TEST_F(LocatorTest, TheTopmostCarrierWinsAndEveryCandidateYieldsOnce) {
    const Client aol = AddClient();
    const ChatRoom back = OpenChatRoom(aol.area);
    const ImWindow im = OpenImWindow(aol.area);
    const ChatRoom front = OpenChatRoom(aol.area);
    builder.BringToTop(builder.Create(cls::kOtherDocument, aol.area));
    // z-order: other, front, im, back
    EXPECT_EQ(FindChatWindow(windows, loop), front.window);
    EXPECT_EQ(builder.Yields(), 2);
    EXPECT_EQ(FindImWindow(windows, loop), im.window);
    EXPECT_EQ(builder.Yields(), 2 + 3);
    builder.BringToTop(back.window);
    EXPECT_EQ(FindChatWindow(windows, loop), back.window);

    // A chat room that also has an edit field carries both signatures.
    builder.Create(cls::kEdit, back.window);
    EXPECT_EQ(FindImWindow(windows, loop), back.window);
}

TEST_F(LocatorTest, OtherDocumentClassesAreSearchedOnlyBesideAnAolChild) {
    namespace c = client_class;
    const Client aol = AddClient();
    const WindowHandle view = AddWindowWith(
        c::kOtherDocument, aol.area,
        {c::kStatic, c::kReadOnlyRichText, c::kComboBox, c::kIcon, c::kRichText, c::kImage});
    EXPECT_EQ(FindChatWindow(windows, loop), kNone);
    const WindowHandle plain = builder.Create(c::kChild, aol.area);  // below the view
    EXPECT_EQ(FindChatWindow(windows, loop), view);
    builder.Destroy(plain);
    EXPECT_EQ(FindChatWindow(windows, loop), kNone);
}

TEST_F(LocatorTest, ARoomClosedDuringTheSearchIsNotReturned) {
    const Client aol = AddClient();
    const ChatRoom lower = OpenChatRoom(aol.area);
    const ChatRoom upper = OpenChatRoom(aol.area);
    builder.BringToTop(builder.Create(cls::kChild, aol.area));
    // The search yields at the first candidate, before it reaches either room.
    builder.Post([&] { builder.Destroy(upper.window); });
    EXPECT_EQ(FindChatWindow(windows, loop), lower.window);

    // A candidate closed while it is being examined ends the walk: the handle
    // is stale and has no next sibling.
    const WindowHandle top = FindFrontChild(windows);
    builder.Post([&] { builder.Destroy(top); });
    EXPECT_EQ(FindChatWindow(windows, loop), kNone);
}

TEST_F(LocatorTest, ChainsWithoutTheFrameSearchTheTopLevelWindows) {
    const WindowHandle stray_child = builder.Create(cls::kChild);
    const WindowHandle stray_icon = builder.Create(cls::kIcon);
    builder.BringToTop(stray_child);
    EXPECT_EQ(FindFrontChild(windows), stray_child);
    EXPECT_EQ(ToolbarIconAt(windows, 0), stray_icon);
    EXPECT_EQ(ToolbarIconAt(windows, 1), kNone);
}

}  // namespace
}  // namespace lullcast::quill_aol8
