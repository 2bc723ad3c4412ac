// The user32 rules the client code relies on, on whichever window system the
// suite runs: the in-process tree natively, real windows under Wine. Both
// must give the same answers.
#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

TEST(WindowFunctions, SearchesFollowTheZOrderOfLiveDirectChildren) {
    WindowBuilder b;
    WindowFunctions& w = b.windows;
    const WindowHandle lower = b.Create(cls::kFrame);
    const WindowHandle upper = b.Create(cls::kFrame);  // top-level windows go above
    EXPECT_EQ(w.FirstSibling(lower), upper);
    EXPECT_EQ(w.FindChild(kNone, upper, "aol frame25"), lower);
    const auto icons = b.Create(cls::kIcon, upper, 2);  // children go below
    const WindowHandle last = b.Create(cls::kReadOnlyRichText, upper);
    const WindowHandle nested = b.Create(cls::kIcon, last);
    EXPECT_EQ(w.FirstSibling(last), icons[0]);
    EXPECT_EQ(w.NextSibling(icons[1]), last);
    EXPECT_EQ(w.NextSibling(last), kNone);
    EXPECT_EQ(w.FindChild(upper, icons[0], "_aol_icon"), icons[1]);
    EXPECT_EQ(w.FindChild(upper, icons[1], "_aol_icon"), kNone);
    EXPECT_EQ(w.FindChild(upper, lower, "_aol_icon"), kNone);  // not a child: the end
    EXPECT_EQ(w.FindTopLevel("_aol_icon"), kNone);
    b.BringToTop(icons[1]);
    b.BringToTop(lower);
    EXPECT_EQ(w.FindChild(upper, kNone, "_aol_icon"), icons[1]);
    EXPECT_EQ(w.NextSibling(icons[0]), last);
    EXPECT_EQ(w.FindTopLevel("aol frame25"), lower);
    // A destroyed window is a stale handle, not the desktop; its children go too.
    b.Destroy(last);
    EXPECT_EQ(w.FindChild(last, kNone, "aol frame25"), kNone);
    EXPECT_EQ(w.FindChild(upper, last, "_aol_icon"), kNone);
    EXPECT_EQ(w.NextSibling(icons[0]), kNone);
    EXPECT_EQ(w.FirstSibling(nested), kNone);
    w.SetText(nested, "x");
    EXPECT_TRUE(b.Received(nested).empty());
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

#ifndef _WIN32
// The tree's own rules, which the client tests lean on: a handle it never made
// (the next it will make) and a destroyed window receive nothing and show no
// text; a hung window takes every message, answers none, and keeps its text.
// The next handle is looked at on a new tree, and where the windows of an older
// one lay (what a look past the tree's end would find).
TEST(WindowTree, OnlyLiveWindowsReceiveAndAHungOneKeepsItsText) {
    {
        WindowTree old;
        for (int i = 0; i < 3; ++i) old.SetText(old.Create(cls::kEdit), "old");
    }
    WindowTree tree;
    EXPECT_TRUE(tree.Received(WindowHandle{1}).empty());
    const WindowHandle hung = tree.Create(cls::kEdit);
    const WindowHandle gone = tree.Create(cls::kEdit);
    for (const WindowHandle window : {hung, gone}) tree.Type(window, "draft");
    tree.StopAnsweringAfter(hung, 0);
    tree.Destroy(gone);
    const struct {
        WindowHandle window;
        bool answered;
        std::vector<ReceivedMessage> received;
        std::string_view text;
    } cases[] = {{hung, false, {TextSet("new")}, "draft"},
                 {gone, true, {}, ""},
                 {WindowHandle{3}, true, {}, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(tree.SetText(c.window, "new"), c.answered);
        EXPECT_EQ(tree.Received(c.window), c.received);
        EXPECT_EQ(tree.Text(c.window), c.text);
    }

    // Lines end at LF or CR LF; an edit control gives one without its break.
    const WindowHandle edit = tree.Create(cls::kEdit);
    tree.Type(edit, "a\r\nb\n");
    for (const bool gives_breaks : {false, true}) {
        tree.KeepLines(edit, 0, 8, gives_breaks);
        EXPECT_EQ(tree.LineCount(edit), 3);
        EXPECT_EQ(tree.LineStart(edit, 1), 3);
        EXPECT_EQ(tree.ReadLine(edit, 0, 8), NativeText{gives_breaks ? "a\r\n" : "a"});
    }
}
#endif

}  // namespace
}  // namespace lullcast::quill_aol8
