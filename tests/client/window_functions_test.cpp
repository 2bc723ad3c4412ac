// The user32 rules the client code relies on, on whichever window system the
// suite runs: the in-process tree natively, real windows under Wine. Both
// must give the same answers.
#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

TEST(WindowFunctions, SearchesFollowTheZOrderOfDirectChildren) {
    WindowBuilder b;
    WindowFunctions& w = b.windows;
    const WindowHandle lower = b.Create(cls::kFrame);
    const WindowHandle upper = b.Create(cls::kFrame);  // top-level windows go above
    EXPECT_EQ(w.FirstSibling(lower), upper);
    EXPECT_EQ(w.FindChild(kNone, upper, "aol frame25"), lower);
    const auto icons = b.Create(cls::kIcon, upper, 2);  // children go below
    const WindowHandle last = b.Create(cls::kReadOnlyRichText, upper);
    b.Create(cls::kIcon, last);
    EXPECT_EQ(w.FirstSibling(last), icons[0]);
    EXPECT_EQ(w.NextSibling(icons[1]), last);
    EXPECT_EQ(w.NextSibling(last), kNone);
    EXPECT_EQ(w.FindChild(upper, icons[0], "_aol_icon"), icons[1]);
    EXPECT_EQ(w.FindChild(upper, icons[1], "_aol_icon"), kNone);
    EXPECT_EQ(w.FindChild(upper, lower, "_aol_icon"), kNone);  // not a child: the end
    EXPECT_EQ(w.FindChild(upper, kNone, "richcntl"), kNone);
    EXPECT_EQ(w.FindTopLevel("_aol_icon"), kNone);
    b.BringToTop(icons[1]);
    b.BringToTop(lower);
    EXPECT_EQ(w.FindChild(upper, kNone, "_aol_icon"), icons[1]);
    EXPECT_EQ(w.NextSibling(icons[0]), last);
    EXPECT_EQ(w.FindTopLevel("aol frame25"), lower);
}

TEST(WindowFunctions, DestroyedWindowsAreStaleHandlesNotTheDesktop) {
    WindowBuilder b;
    WindowFunctions& w = b.windows;
    const WindowHandle area = b.Create(cls::kMdiClient, b.Create(cls::kFrame));
    const WindowHandle room = b.Create(cls::kChild, area);
    const WindowHandle icon = b.Create(cls::kIcon, room);
    const WindowHandle later = b.Create(cls::kChild, area);
    b.Create(cls::kChild);  // a top-level window the stale lookups must not find
    b.Destroy(room);
    EXPECT_EQ(w.FindChild(room, kNone, "aol child"), kNone);
    EXPECT_EQ(w.FindChild(area, room, "aol child"), kNone);
    EXPECT_EQ(w.FindChild(area, kNone, "aol child"), later);
    EXPECT_EQ(w.FirstSibling(room), kNone);
    EXPECT_EQ(w.NextSibling(room), kNone);
    EXPECT_EQ(w.FirstSibling(icon), kNone);  // gone with its parent
    w.SetText(icon, "x");
    EXPECT_TRUE(b.Received(icon).empty());
}

// Text reaches Windows' controls in the ANSI code page (1252 under Wine), one
// "?" for each character it cannot hold, and ends at a NUL.
TEST(WindowFunctions, WindowsRecordWhatTheyReceiveInOrder) {
    WindowBuilder b;
    WindowFunctions& w = b.windows;
    const WindowHandle control = b.Create(cls::kRichText);
    const std::string_view text = "¬ a€b ā中文 x😀y e\xCC\x81";
    w.SetText(control, text);
    w.SendChar(control, 13);
    w.LeftButtonDown(control);
    w.LeftButtonUp(control);
    w.KeyUp(control, 0x20);
    w.SetText(control, std::string_view("cut\0off", 7));
    w.SetText(kNone, "nowhere");
#ifdef _WIN32
    const std::string_view arrived = "¬ a€b ??? x?y e?";
#else
    const std::string_view arrived = text;
#endif
    EXPECT_EQ(b.Received(control), (std::vector{TextSet(arrived), kEnter, kButtonDown, kButtonUp,
                                                kSpaceUp, TextSet("cut")}));
}

}  // namespace
}  // namespace lullcast::quill_aol8
