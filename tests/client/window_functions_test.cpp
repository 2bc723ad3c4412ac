// The lookup and delivery rules that the client code relies on, checked on
// whichever window system the suite runs: the in-process tree natively, real
// windows on Windows. Both must give the same answers.
#include <gtest/gtest.h>

#include "client_fixture.h"

namespace lullcast::quill_aol8 {
namespace {

namespace cls = client_class;
constexpr WindowHandle kNone = WindowHandle::kNone;

using WindowFunctionsTest = ClientTest;

TEST_F(WindowFunctionsTest, ClassNamesMatchWholeAndWithoutRegardToCase) {
    const WindowHandle frame = builder.Create(cls::kFrame);
    const WindowHandle transcript = builder.Create(cls::kReadOnlyRichText, frame);
    EXPECT_EQ(windows.FindTopLevel("aol frame25"), frame);
    EXPECT_EQ(windows.FindTopLevel("AOL FRAME25"), frame);
    EXPECT_EQ(windows.FindTopLevel("aol frame2"), kNone);
    EXPECT_EQ(windows.FindChild(frame, kNone, "richcntlreadonly"), transcript);
    EXPECT_EQ(windows.FindChild(frame, kNone, "richcntl"), kNone);
}

TEST_F(WindowFunctionsTest, OnlyDirectChildrenAreSearched) {
    const WindowHandle frame = builder.Create(cls::kFrame);
    const WindowHandle area = builder.Create(cls::kMdiClient, frame);
    const WindowHandle room = builder.Create(cls::kChild, area);
    builder.Create(cls::kIcon, room);
    EXPECT_EQ(windows.FindChild(frame, kNone, "aol child"), kNone);
    EXPECT_EQ(windows.FindChild(frame, kNone, "_aol_icon"), kNone);
    EXPECT_EQ(windows.FindTopLevel("_aol_icon"), kNone);
    EXPECT_EQ(windows.FindChild(area, kNone, "aol child"), room);
}

TEST_F(WindowFunctionsTest, NewWindowsGoBelowTheirSiblingsAndBringToTopReorders) {
    const WindowHandle parent = builder.Create(cls::kChild);
    const WindowHandle first = builder.Create(cls::kIcon, parent);
    const WindowHandle second = builder.Create(cls::kStatic, parent);
    const WindowHandle third = builder.Create(cls::kIcon, parent);
    EXPECT_EQ(windows.FirstSibling(third), first);
    EXPECT_EQ(windows.NextSibling(first), second);
    EXPECT_EQ(windows.NextSibling(second), third);
    EXPECT_EQ(windows.NextSibling(third), kNone);
    EXPECT_EQ(windows.FindChild(parent, kNone, "_aol_icon"), first);

    builder.BringToTop(third);
    EXPECT_EQ(windows.FirstSibling(second), third);
    EXPECT_EQ(windows.NextSibling(third), first);
    EXPECT_EQ(windows.NextSibling(second), kNone);
    EXPECT_EQ(windows.FindChild(parent, kNone, "_aol_icon"), third);
}

TEST_F(WindowFunctionsTest, TopLevelWindowsAreTheChildrenOfParentZeroNewestOnTop) {
    const WindowHandle lower = builder.Create(cls::kFrame);
    const WindowHandle upper = builder.Create(cls::kFrame);
    EXPECT_EQ(windows.FirstSibling(lower), upper);
    EXPECT_EQ(windows.NextSibling(upper), lower);
    EXPECT_EQ(windows.FindTopLevel("aol frame25"), upper);
    EXPECT_EQ(windows.FindChild(kNone, kNone, "aol frame25"), upper);
    EXPECT_EQ(windows.FindChild(kNone, upper, "aol frame25"), lower);
    EXPECT_EQ(windows.FindChild(kNone, lower, "aol frame25"), kNone);
    builder.BringToTop(lower);
    EXPECT_EQ(windows.FindTopLevel("aol frame25"), lower);
}

TEST_F(WindowFunctionsTest, SearchesContinueAfterAGivenChildAndRestartAfterZero) {
    const WindowHandle parent = builder.Create(cls::kChild);
    const WindowHandle other = builder.Create(cls::kChild);
    const std::vector<WindowHandle> icons = AddChildren(cls::kIcon, parent, 2);
    builder.Create(cls::kStatic, parent);
    EXPECT_EQ(windows.FindChild(parent, kNone, "_aol_icon"), icons[0]);
    EXPECT_EQ(windows.FindChild(parent, icons[0], "_aol_icon"), icons[1]);
    EXPECT_EQ(windows.FindChild(parent, icons[1], "_aol_icon"), kNone);
    // A window that is not a child of the parent ends the search.
    EXPECT_EQ(windows.FindChild(parent, other, "_aol_icon"), kNone);
}

TEST_F(WindowFunctionsTest, DestroyedWindowsAreStaleHandlesNotTheDesktop) {
    const WindowHandle frame = builder.Create(cls::kFrame);
    const WindowHandle area = builder.Create(cls::kMdiClient, frame);
    const WindowHandle room = builder.Create(cls::kChild, area);
    const WindowHandle icon = builder.Create(cls::kIcon, room);
    const WindowHandle later = builder.Create(cls::kChild, area);
    builder.Create(cls::kChild);  // a top-level window the stale lookups must not find

    builder.Destroy(room);
    EXPECT_EQ(windows.FindChild(room, kNone, "_aol_icon"), kNone);
    EXPECT_EQ(windows.FindChild(room, kNone, "aol child"), kNone);
    EXPECT_EQ(windows.FindChild(area, room, "aol child"), kNone);
    EXPECT_EQ(windows.FirstSibling(room), kNone);
    EXPECT_EQ(windows.NextSibling(room), kNone);
    EXPECT_EQ(windows.FirstSibling(icon), kNone);  // gone with its parent
    EXPECT_EQ(windows.FindChild(area, kNone, "aol child"), later);

    windows.SetText(icon, "x");
    windows.LeftButtonDown(icon);
    EXPECT_TRUE(builder.Received(icon).empty());
}

TEST_F(WindowFunctionsTest, WindowsRecordWhatTheyReceiveInOrder) {
    const WindowHandle control = builder.Create(cls::kRichText);
    windows.SetText(control, "¬ activated ¬ by.");
    windows.SendChar(control, 13);
    windows.LeftButtonDown(control);
    windows.LeftButtonUp(control);
    windows.KeyUp(control, 0x20);
    windows.SetText(control, std::string_view("cut\0off", 7));
    windows.SetText(kNone, "nowhere");
    windows.KeyUp(kNone, 0x20);
    EXPECT_EQ(builder.Received(control),
              (std::vector{TextSet("¬ activated ¬ by."), CharTyped(13), ButtonDown(), ButtonUp(),
                           KeyReleased(0x20), TextSet("cut")}));
}

}  // namespace
}  // namespace lullcast::quill_aol8
