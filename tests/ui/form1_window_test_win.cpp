// The main window on the real window system, driven from outside as a user
// would, through messages and injected input. The app tests pin the flows.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>

#include "app/last_input_clock.h"
#include "core/client_operations.h"
#include "core/pause.h"
#include "core/text_win.h"
#include "settings/away_settings.h"
#include "settings/handle_store.h"
#include "support/chat_line.h"
#include "support/form1_input_win.h"
#include "support/scratch_folder_win.h"
#include "ui/form1_window.h"
#include "ui/resource_ids.h"
#include "ui/win32_event_loop.h"

namespace lullcast::testing {
namespace {

// The client's operations and the boxes shown, a line each; also into `record`.
struct Journal final : ClientOperations, HandleStore {
    void SendChatLine(std::string_view line) override {
        Add(PlainTextOfChatLine(line).value_or("<malformed>"));
    }
    void SendInstantMessage(std::string_view to, std::string_view text) override {
        Add("im " + std::string(to) + " " + std::string(text));
    }
    void ClickFrontChildIcon(int position) override { Add("click " + std::to_string(position)); }
    [[nodiscard]] std::string LoadHandle() override { return handle; }
    void SaveHandle(std::string_view saved) override { handle = saved; }
    void Add(const std::string& what) {
        lines += what + "\n";
        if (!record.empty()) WriteFileBytes(record, lines);
    }
    std::string handle, lines;
    std::filesystem::path record;
};

// Acts on the windows this thread opens, inside their own modal loops: each
// step on the next visible window of its class ("#32770": a dialog or message
// box, "#32768": a popup menu).
using Step = std::pair<const wchar_t*, std::function<void(HWND)>>;
std::deque<Step> steps;

void CALLBACK TakeStep(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/, DWORD /*time*/) {
    HWND window = nullptr;
    while (!steps.empty() &&
           (window = FindWindowExW(nullptr, window, steps.front().first, nullptr)) != nullptr) {
        if (IsWindowVisible(window) &&
            GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
            const std::function<void(HWND)> action = std::move(steps.front().second);
            steps.pop_front();
            return action(window);
        }
    }
}

std::string TextOf(HWND window) {
    std::array<wchar_t, 512> text{};
    const int length = GetWindowTextW(window, text.data(), text.size());
    return NarrowToUtf8(std::wstring_view(text.data(), static_cast<std::size_t>(length)));
}

// Notes a box's title and its prompt and field, or its text's first word,
// types `answer` key by key over the field's selected default, if any, and
// presses OK.
Step Answer(Journal& journal, const std::string& answer = "") {
    return {L"#32770", [&journal, answer](HWND box) {
                const HWND field = GetDlgItem(box, IDC_INPUT_TEXT);
                const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
                journal.Add("box " + TextOf(box) + ": " +
                            (field ? TextOf(GetDlgItem(box, IDC_INPUT_PROMPT)) + " " + TextOf(field)
                                   : text.substr(0, text.find(' '))));
                for (const wchar_t key : WidenUtf8(answer)) SendMessageW(field, WM_CHAR, key, 0);
                SendMessageW(box, WM_COMMAND, IDOK, 0);
            }};
}

// The places in these tests are in dots at 96 an inch; the window grows with
// the screen's.
int AtScreenDpi(int dots) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return MulDiv(dots, dpi, 96);
}

// A control's place in its parent's client area.
RECT PlaceInParent(HWND control) {
    RECT bounds{};
    GetWindowRect(control, &bounds);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

void InjectMouse(HWND window, POINT at, DWORD flags) {
    ClientToScreen(window, &at);
    INPUT input = MouseInputAt(at, flags);
    SendInput(1, &input, sizeof input);
}

class Form1WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window_.Create());
        loop_.SetKeyboardWindow(Main());
        window_.Load();
    }
    [[nodiscard]] HWND Main() const { return window_.Handle(); }
    [[nodiscard]] HWND Control(int id) const { return ControlOf(Main(), id); }
    [[nodiscard]] std::pair<bool, bool> StartAndStopEnabled() const {
        return {IsWindowEnabled(Control(IDC_SSCOMMAND1)) != FALSE,
                IsWindowEnabled(Control(IDC_SSCOMMAND2)) != FALSE};
    }
    // Clicks the button while `script` acts on the windows it opens.
    void Click(int id, std::deque<Step> script = {}) { ClickWith(Control(id), std::move(script)); }
    static void ClickWith(HWND button, std::deque<Step> script) {
        steps = std::move(script);
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &TakeStep);
        SendMessageW(button, BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(steps.empty())
            << "a window did not open: " << steps.size() << " steps left, the next for "
            << NarrowToUtf8(steps.empty() ? L"" : steps.front().first);
        steps.clear();
    }
    // The Menu button, then the item `downs` steps down, or Escape for 0.
    void Choose(int downs, std::deque<Step> then = {}) { ChooseIn(Main(), downs, std::move(then)); }
    static void ChooseIn(HWND main, int downs, std::deque<Step> then) {
        // The menu opens with its top left corner at the pointer.
        SetCursorPos(100, 120);
        then.emplace_front(L"#32768", [downs](HWND menu) {
            RECT place{};
            GetWindowRect(menu, &place);
            EXPECT_EQ(std::pair(place.left, place.top), std::pair(100L, 120L));
            for (int i = 0; i < downs; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(menu, WM_KEYDOWN, downs > 0 ? VK_RETURN : VK_ESCAPE, 0);
        });
        ClickWith(ControlOf(main, IDC_SSCOMMAND3), std::move(then));
    }

    Win32EventLoop loop_;
    Journal journal_;
    Form1Window window_{journal_, journal_, loop_};
};

TEST_F(Form1WindowTest, StartAndStopRunTheirFlowsSwapTheButtonsAndRunTheTick) {
    EXPECT_EQ(StartAndStopEnabled(), std::pair(true, false));
    Click(IDC_SSCOMMAND1, {Answer(journal_, "out for lunch")});
    EXPECT_EQ(TextOf(Control(IDC_LABEL1)), "Idling...");
    EXPECT_EQ(StartAndStopEnabled(), std::pair(false, true));
    Pause(loop_, 2.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");

    Click(IDC_SSCOMMAND2);
    EXPECT_EQ(StartAndStopEnabled(), std::pair(true, false));
    Pause(loop_, 1.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");  // the tick is off
    EXPECT_EQ(journal_.lines,
              "¬ Lull-Cast 2k3 ¬ tarn\n¬ loaded ¬ newbie\nclick 6\n"
              "box Lull-Cast 2k3: What is your reason? brb\n¬ activated ¬ by.newbie\n"
              "¬ rsn ¬ out for lunch\n¬ deactivated ¬ by.newbie\n"
              "¬ hrs: [00] ¬ mins: [00] ¬ secs: [02]\n");
}

// The list of mentions is the main window's own: no taskbar button, above the
// topmost main window. One list shows the latest mentions until it is closed;
// the next list opens anew.
TEST_F(Form1WindowTest, TheMentionsListIsOwnedUpdatedInPlaceAndShownAgainOnceClosed) {
    const auto list_text = [](HWND list) { return TextOf(GetDlgItem(list, IDC_MENTIONS_TEXT)); };
    window_.ShowMentions("10:00:00  Al: bob?");
    const HWND list = FindWindowW(L"LullCastMentions", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetWindow(list, GW_OWNER), Main());
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    HWND below = list;
    while (below != nullptr && below != Main()) below = GetWindow(below, GW_HWNDNEXT);
    EXPECT_EQ(below, Main());

    window_.ShowMentions("10:05:00  Eve: BOB!");
    EXPECT_EQ(FindWindowExW(nullptr, list, L"LullCastMentions", nullptr), nullptr);
    EXPECT_EQ(list_text(list), "10:05:00  Eve: BOB!");
    SendMessageW(list, WM_COMMAND, IDC_MENTIONS_CLOSE, 0);
    EXPECT_FALSE(IsWindow(list));
    window_.ShowMentions("11:00:00  Al: bob");
    const HWND again = FindWindowW(L"LullCastMentions", nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(IsWindowVisible(again), FALSE);
    EXPECT_EQ(list_text(again), "11:00:00  Al: bob");
    // Close keeps to the corner as the list is made larger.
    const auto corner_gap = [again] {
        RECT client{};
        GetClientRect(again, &client);
        const RECT close = PlaceInParent(GetDlgItem(again, IDC_MENTIONS_CLOSE));
        return std::pair(client.right - close.right, client.bottom - close.bottom);
    };
    const auto gap = corner_gap();
    SetWindowPos(again, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(corner_gap(), gap);
}

// The items that the end-to-end tests leave out: the rest go there through
// this window's menu.
TEST_F(Form1WindowTest, EachMenuItemReachesItsFlow) {
    Choose(0);  // closed without a choice: nothing runs
    for (const int info_box : {1, 2, 3}) Choose(info_box, {Answer(journal_)});
    EXPECT_EQ(journal_.lines,
              "¬ Lull-Cast 2k3 ¬ tarn\n¬ loaded ¬ newbie\nbox Lull-Cast 2k3: Lull-Cast\n"
              "box Lull-Cast 2k3: Greetz\nbox Lull-Cast 2k3: AIM:\n");
    Choose(8);
    EXPECT_TRUE(IsIconic(Main()));
}

// The menu held open holds auto-away off, as a prompt does: the user is
// there. Once it closes, the next look at the idle time goes away, also after
// auto-away was switched off and on again (each time a box says that the
// settings file, which this window has none of, was not written).
TEST_F(Form1WindowTest, AnOpenMenuHoldsAutoAwayOff) {
    struct Idle final : LastInputClock {
        std::uint32_t MillisecondsSinceLastInput() override { return since; }
        std::uint32_t since = 0;
    } idle;
    AwaySettings settings;
    settings.auto_away_minutes = 1;
    Journal journal;
    Form1Window window(journal, journal, loop_, settings, idle);
    ASSERT_TRUE(window.Create());
    window.Load();
    for (const wchar_t* const minutes : {L"0", L"1"}) {
        ChooseIn(window.Handle(), 5,
                 {{L"#32770",
                   [minutes](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_SETTINGS_AUTOAWAY, minutes);
                       SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                   }},
                  Answer(journal)});
        // A moment between, as between a user's clicks: a menu asked for while
        // the last one is still closing may not open.
        Pause(loop_, 0.2);
    }
    journal.lines.clear();
    idle.since = 3'600'000;
    ClickWith(ControlOf(window.Handle(), IDC_SSCOMMAND3),
              {{L"#32768", [this](HWND menu) {
                    Pause(loop_, 2.5);  // the idle time is looked at each second
                    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                }}});
    EXPECT_EQ(journal.lines, "");
    Pause(loop_, 1.5);
    EXPECT_NE(journal.lines.find("¬ rsn ¬ auto-away"), std::string::npos) << journal.lines;
}

// Any mouse button's press moves the window, a left click (press and release
// on it) works a caption.
TEST(Form1WindowButtonTest, EveryButtonsPressCounts) {
    for (const UINT press :
         {UINT{WM_LBUTTONDOWN}, UINT{WM_RBUTTONDOWN}, UINT{WM_MBUTTONDOWN}, UINT{WM_XBUTTONDOWN}}) {
        EXPECT_TRUE(IsButtonDown(press)) << press;
    }
    EXPECT_FALSE(IsButtonDown(WM_LBUTTONUP) || IsButtonDown(WM_MOUSEMOVE));
}

// The presses also pin where the strip's labels lie. The window opens in the
// middle of the work area.
TEST_F(Form1WindowTest, PressesOnTheStripOrTheTimeMoveTheTopmostWindowAndMinMinimises) {
    EXPECT_NE(GetWindowLongPtrW(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT work{};
    RECT opened{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(Main(), &opened);
    EXPECT_LE(std::abs(work.left + work.right - opened.left - opened.right), 1);
    EXPECT_LE(std::abs(work.top + work.bottom - opened.top - opened.bottom), 1);
    SetForegroundWindow(Main());
    Pause(loop_, 0.1);
    // A press on "Min" that loses the mouse to another window clicks nothing,
    // nor does a later release over it without a press of its own.
    SendMessageW(Control(IDC_LABEL2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SetCapture(Main());
    ReleaseCapture();
    SendMessageW(Control(IDC_LABEL2), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(IsIconic(Main()));
    const struct {
        POINT from, by;
        bool moves;
    } presses[] = {
        {{3, 8}, {30, 20}, true},     // a bare part of the strip
        {{50, 6}, {-40, 10}, true},   // the elapsed time
        {{60, 56}, {30, 20}, false},  // the status line
        {{3, 30}, {30, 20}, false},   // the buttons' panel
        {{12, 6}, {0, 40}, false},    // "Min", let go elsewhere
        {{12, 6}, {0, 0}, false},     // "Min"
    };
    const auto origin = [this] {
        RECT bounds{};
        GetWindowRect(Main(), &bounds);
        return POINT{bounds.left, bounds.top};
    };
    for (const auto& press : presses) {
        const POINT before = origin();
        const POINT from{AtScreenDpi(press.from.x), AtScreenDpi(press.from.y)};
        const POINT to{from.x + press.by.x, from.y + press.by.y};
        InjectMouse(Main(), from, 0);
        InjectMouse(Main(), from, MOUSEEVENTF_LEFTDOWN);
        InjectMouse(Main(), {(from.x + to.x) / 2, (from.y + to.y) / 2}, 0);
        InjectMouse(Main(), to, MOUSEEVENTF_LEFTUP);
        Pause(loop_, 0.5);
        if (IsIconic(Main())) {
            EXPECT_EQ(press.by.y, 0) << "only a click on Min minimises";
            break;
        }
        EXPECT_EQ(origin().x - before.x, press.moves ? press.by.x : 0) << press.from.x;
        EXPECT_EQ(origin().y - before.y, press.moves ? press.by.y : 0) << press.from.x;
    }
    EXPECT_TRUE(IsIconic(Main()));
    EXPECT_EQ(journal_.lines, "¬ Lull-Cast 2k3 ¬ tarn\n¬ loaded ¬ newbie\n");
}

// Each part stands where the form has it, in dots at 96 an inch grown with the
// screen's; the strip shows black to cyan from left to right under "Min" in
// cyan, the elapsed time in green and "Exit" in the window text's colour.
TEST_F(Form1WindowTest, ThePartsStandInPlaceAndTheStripShowsItsColours) {
    const auto scaled = [](RECT at) {
        return RECT{AtScreenDpi(at.left), AtScreenDpi(at.top), AtScreenDpi(at.right),
                    AtScreenDpi(at.bottom)};
    };
    const auto same = [](RECT a, RECT b) { return EqualRect(&a, &b) != FALSE; };
    RECT client{};
    GetClientRect(Main(), &client);
    EXPECT_TRUE(same(client, scaled({0, 0, 121, 66})));
    const struct {
        int id;
        RECT at;
    } parts[] = {{IDC_PICTURE1, {0, 0, 121, 17}},     {IDC_LABEL2, {8, 0, 38, 13}},
                 {IDC_TIMED, {40, 0, 94, 13}},        {IDC_LABEL3, {96, 0, 121, 13}},
                 {IDC_SSCOMMAND1, {8, 24, 41, 41}},   {IDC_SSCOMMAND2, {40, 24, 73, 41}},
                 {IDC_SSCOMMAND3, {72, 24, 105, 41}}, {IDC_SSFRAME1, {0, 16, 121, 49}},
                 {IDC_LABEL1, {0, 48, 121, 65}},      {IDC_FRAME2, {0, 40, 121, 65}}};
    for (const auto& part : parts) {
        EXPECT_TRUE(same(PlaceInParent(Control(part.id)), scaled(part.at))) << part.id;
    }

    const HWND strip = Control(IDC_PICTURE1);
    RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const HDC dc = GetDC(strip);
    RECT area{};
    GetClientRect(strip, &area);
    // A row below the labels and above the panel.
    const int row = AtScreenDpi(14);
    // Unscaled, the picture's 150 columns go from black to cyan in even steps.
    const bool unscaled = AtScreenDpi(150) == 150;
    int level = 0;
    for (int x = 0; x < area.right; ++x) {
        const COLORREF pixel = GetPixel(dc, x, row);
        if (unscaled) {
            EXPECT_EQ(GetGValue(pixel), (255 * x + 74) / 149) << x;
        }
        EXPECT_EQ(GetRValue(pixel), 0) << x;
        EXPECT_EQ(GetGValue(pixel), GetBValue(pixel)) << x;
        EXPECT_GE(GetGValue(pixel), x == 0 ? 0 : level) << x;
        EXPECT_LE(GetGValue(pixel), x == 0 ? 8 : 255) << x;
        level = GetGValue(pixel);
    }
    EXPECT_GE(level, 200);  // the picture is wider than the strip: its right end is cut off
    const struct {
        int id;
        COLORREF ink;
    } labels[] = {{IDC_LABEL2, RGB(0, 255, 255)},
                  {IDC_TIMED, RGB(0, 255, 0)},
                  {IDC_LABEL3, GetSysColor(COLOR_WINDOWTEXT)}};
    for (const auto& label : labels) {
        const RECT at = PlaceInParent(Control(label.id));
        // Drawn over the strip, with no box of their own: no pixel has red.
        int inked = 0, red = 0;
        for (int y = at.top; y < at.bottom; ++y) {
            for (int x = at.left; x < at.right; ++x) {
                const COLORREF pixel = GetPixel(dc, x, y);
                inked += pixel == label.ink;
                red += GetRValue(pixel) != 0;
            }
        }
        EXPECT_GT(inked, 0) << label.id;
        EXPECT_EQ(red, 0) << label.id;
    }
    ReleaseDC(strip, dc);
}

// Closing ends the process, so this runs in a child that the test below
// starts: it idles, then is closed as the taskbar closes it. Its journal goes
// into the file the environment names. ("Exit" on the strip is clicked in the
// end-to-end tests.)
TEST_F(Form1WindowTest, DISABLED_IdlesThenCloses) {
    const char* record = std::getenv("LULLCAST_EXIT_RECORD");
    ASSERT_NE(record, nullptr);
    journal_.record = record;
    Click(IDC_SSCOMMAND1, {Answer(journal_, "brb")});
    Pause(loop_, 1.5);
    journal_.Add("closing");
    SendMessageW(Main(), WM_CLOSE, 0, 0);
    ADD_FAILURE() << "the program did not end";
}

TEST(Form1WindowExitTest, CloseSaysGoodbyeAndEndsTheProgramAtOnce) {
    const ScratchFolder folder;
    const std::filesystem::path record = folder.Path() / "journal.txt";
    SetEnvironmentVariableW(L"LULLCAST_EXIT_RECORD", record.c_str());
    EXPECT_EQ(RunThisProgram(L"--gtest_also_run_disabled_tests --gtest_brief=1 "
                             L"--gtest_filter=Form1WindowTest.DISABLED_IdlesThenCloses"),
              0);
    // No deactivated line, no time line, and nothing after the goodbye.
    EXPECT_EQ(ReadFileBytes(record).value_or("(no file)"),
              "¬ Lull-Cast 2k3 ¬ tarn\n¬ loaded ¬ newbie\nclick 6\n"
              "box Lull-Cast 2k3: What is your reason? brb\n¬ activated ¬ by.newbie\n"
              "¬ rsn ¬ brb\nclosing\n¬ Lull-Cast 2k3 ¬ tarn\n¬ unloaded ¬ newbie\n");
}

}  // namespace
}  // namespace lullcast::testing
