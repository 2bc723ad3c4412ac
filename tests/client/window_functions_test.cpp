// The user32 rules the client code relies on, on whichever window system the
// suite runs: the in-process tree natively, real windows under Wine. Both
// must give the same answers.
#include "window_builder.h"

#ifdef _WIN32
#include <gmock/gmock.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "client/quill_aol8/user32_window_functions.h"
#endif

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

#ifdef _WIN32
// A client window thread that stops for a while: each message to it waits a
// short bound, not the whole stop, and reports that it went unanswered. What
// becomes of those messages differs: Wine drops them, Windows may deliver them
// late. Either way nothing is taken out of order, and the next message once
// the thread goes on is answered.
std::vector<std::string> taken;  // written by the client thread only
constexpr UINT kStop = WM_APP;
LRESULT CALLBACK StoppingClient(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETTEXT) taken.emplace_back(reinterpret_cast<LPCSTR>(lparam));
    if (message == kStop) Sleep(1500);
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST(WindowFunctions, AStoppedWindowThreadCostsABoundedWaitAndTakesNothingOutOfOrder) {
    const WNDCLASSA window_class{
        0,       StoppingClient, 0,       0,       GetModuleHandleA(nullptr),
        nullptr, nullptr,        nullptr, nullptr, "StoppingClient"};
    RegisterClassA(&window_class);
    std::atomic<HWND> client = nullptr;
    std::atomic<DWORD> client_thread_id = 0;
    std::thread client_thread([&] {
        client_thread_id = GetCurrentThreadId();
        client = CreateWindowExA(0, "StoppingClient", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        for (MSG message{}; GetMessageA(&message, nullptr, 0, 0) > 0;) DispatchMessageA(&message);
        DestroyWindow(client);
    });
    while (client == nullptr) Sleep(10);
    const auto handle = static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(client.load()));
    User32WindowFunctions w;
    EXPECT_TRUE(w.SetText(handle, "a"));
    PostMessageA(client, kStop, 0, 0);
    Sleep(200);
    const DWORD before = GetTickCount();
    EXPECT_FALSE(w.SetText(handle, "b"));
    EXPECT_FALSE(w.ReadText(handle, 10).has_value());
    EXPECT_FALSE(w.SetText(handle, "c"));
    EXPECT_LT(GetTickCount() - before, 1000U);
    Sleep(1500);
    EXPECT_TRUE(w.SetText(handle, "d"));
    PostThreadMessageA(client_thread_id, WM_QUIT, 0, 0);
    client_thread.join();
    EXPECT_THAT(taken, ::testing::AnyOf(::testing::ElementsAre("a", "d"),
                                        ::testing::ElementsAre("a", "b", "c", "d")));
}
#endif

}  // namespace
}  // namespace lullcast::quill_aol8
