// One scenario per road a user takes: what the client received, in order, the
// bytes of info.ini, that the window keeps answering. The flows' exact steps
// and the fade's markup are pinned below (tests/app, tests/fade): here lines
// are read as the room shows them, and one byte for byte proves the wiring.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/text_win.h"
#include "e2e/session_win.h"
#include "fade/announcer.h"

namespace lullcast::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

std::string Ini(const std::string& handle_bytes) {
    return "[LullCast]\r\nHANDLE=" + handle_bytes + "\r\n";
}

// The XP run leaves this one out (see tests/CMakeLists.txt).
TEST_F(EndToEndTest, StartReportsEachMinuteAndStopTellsTheTime) {
    ASSERT_TRUE(WriteInfoIni(Ini("Bob")));
    ASSERT_TRUE(StartBoth({L"--rooms", L"2"}));
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK, "out to lunch"));
    // A line half written in the room's input outlasts the report and Stop,
    // with the caret at its end.
    ASSERT_TRUE(ClickUntilInFront(RoomInput()));
    TypeKeys("see you", 50ms);
    ASSERT_TRUE(WaitForEvents("line", 7, 75s)) << "no minute report";
    ASSERT_NO_FATAL_FAILURE(StopAt("00:01:02"));
    ASSERT_TRUE(WaitForEvents("line", 9));
    EXPECT_EQ(TextOf(RoomInput()), "see you");
    EXPECT_EQ(Sent(RoomInput(), EM_GETSEL, 0, 0), DWORD_PTR{MAKELONG(7, 7)});

    ASSERT_THAT(Story(),
                ElementsAre(kBanner, "¬ loaded ¬ Bob", "click room1 6", "¬ activated ¬ by.Bob",
                            "¬ rsn ¬ out to lunch", "click room1 1", "¬ Bob ¬ idle",
                            "¬ rsn ¬ out to lunch", "¬ hrs: [00] ¬ mins: [01]",
                            "¬ deactivated ¬ by.Bob", "¬ hrs: [00] ¬ mins: [01] ¬ secs: [02]"));
    // All in the front room of two; the report with the sixtieth tick, which
    // counts from just before "activated"; a flow's lines 0.3 s apart.
    const std::vector<LogEvent> lines = Events("line");
    for (const LogEvent& line : lines) EXPECT_EQ(line.Field("room"), "1");
    const long long report_after = Events("click")[1].ms - lines[2].ms;
    EXPECT_GE(report_after, 59'500);
    EXPECT_LE(report_after, 62'000);
    for (const std::size_t second : {5U, 6U, 8U})
        EXPECT_GE(lines[second].ms - lines[second - 1].ms, 300);
}

TEST_F(EndToEndTest, ImsOffAndOnAnnounceThenWaitForAnImWindowThatOpensLate) {
    // Each press of the toolbar's IM icon opens a window 0.8 s later, between
    // two of Lull-Cast's looks 0.3 s apart.
    ASSERT_TRUE(StartBoth({L"--im-delay-ms", L"800"}));
    ASSERT_TRUE(ChooseMenuItem(kImsOff));
    ASSERT_TRUE(WaitForEvents("ims", 1));
    // The extra presses open windows of their own; IMs On finds them built.
    const auto presses = [this] {
        return static_cast<std::size_t>(std::ranges::count(Story(), "click toolbar 5"));
    };
    ASSERT_TRUE(WaitUntil([&] { return presses() == Events("im-window-open").size(); }));
    ASSERT_TRUE(ChooseMenuItem(kImsOn));
    ASSERT_TRUE(WaitForEvents("ims", 2));

    // How often the icon is pressed is the client's tests' to pin.
    std::vector<std::string> story = Story();
    std::erase(story, "click toolbar 5");
    EXPECT_THAT(story, ElementsAre(kBanner, kLoadedNewbie, "¬ ims ¬ [off]", "click im-window 12",
                                   "im $im_off: .", "ims off", "¬ ims ¬ [on]", "click im-window 12",
                                   "im $im_on: .", "ims on"));
}

// An empty handle, and "newbie" in its place at the next start, are pinned by
// the flows' and the settings file's tests.
TEST_F(EndToEndTest, ChangeHandleStoresWhatOkGivesCancelKeepsAndTheMenusExitEnds) {
    ASSERT_TRUE(StartBoth());
    EXPECT_EQ(InfoIni(), Ini("newbie"));
    // Markup and brackets go out as they are; "ë" is one byte of the code page.
    ASSERT_TRUE(ChooseMenuItem(kChangeHandle));
    ASSERT_TRUE(AnswerInputBox(IDOK, "Zoë <b>]"));
    ASSERT_TRUE(WaitForEvents("line", 3));
    EXPECT_EQ(InfoIni(), Ini("Zo\xEB <b>]"));
    EXPECT_EQ(
        BytesOfHex(Events("line")[2].Field("hex")),
        ToAnsiCodePage(ComposeChatLine(0x00404000, 0x00FFFF00, "¬ handle ¬ changed [Zoë <b>]]")));
    // Cancel, also after typing, keeps the stored handle and says nothing.
    ASSERT_TRUE(ChooseMenuItem(kChangeHandle));
    ASSERT_TRUE(AnswerInputBox(IDCANCEL, "Eve"));
    EXPECT_EQ(InfoIni(), Ini("Zo\xEB <b>]"));
    ASSERT_TRUE(ChooseMenuItem(kExit));
    EXPECT_EQ(lullcast_->ExitCode(), 0U);
    EXPECT_THAT(Story(), ElementsAre(kBanner, kLoadedNewbie, "¬ handle ¬ changed [Zoë <b>]]",
                                     kBanner, "¬ unloaded ¬ Zoë <b>]"));
}

// The real program driven by keys alone, as a user without a mouse does: Tab
// goes round the buttons that are enabled, Space presses Start, Enter presses
// Stop, and the menu's access key chooses its item.
TEST_F(EndToEndTest, TheKeyboardAloneStartsStopsAndChoosesFromTheMenu) {
    ASSERT_TRUE(StartBoth());
    ASSERT_TRUE(ClickUntilInFront(Control(IDC_LABEL1)));
    const DWORD thread = GetWindowThreadProcessId(window_, nullptr);
    const auto focus = [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) != FALSE ? info.hwndFocus : nullptr;
    };
    // Tab until `id` has the focus, seeing that each press moves it.
    const auto tab_to = [&](int id) {
        for (int presses = 0; presses < 3 && focus() != Control(id); ++presses) {
            const HWND before = focus();
            PressKey(VK_TAB);
            if (!WaitUntil([&] { return focus() != before; })) return false;
        }
        return focus() == Control(id);
    };
    // Types over the selected default of the box in front, once it has the
    // keyboard, then presses Enter.
    const auto type_into_box = [&](std::string_view text) {
        const HWND box = Dialog();
        if (box == nullptr || !WaitUntil([&] { return GetForegroundWindow() == box; }))
            return false;
        const HWND field = GetDlgItem(box, IDC_INPUT_TEXT);
        TypeKeys(text, 30ms);
        if (!Becomes([&] { return TextOf(field); }, std::string(text))) return false;
        PressKey(VK_RETURN);
        return Closes(box);
    };

    ASSERT_TRUE(tab_to(IDC_SSCOMMAND3));
    ASSERT_TRUE(tab_to(IDC_SSCOMMAND1));  // round past the disabled Stop
    PressKey(VK_SPACE);
    ASSERT_TRUE(type_into_box("afk"));
    ASSERT_TRUE(WaitForText(IDC_LABEL1, "Idling..."));
    // Each button that gives way hands the keyboard to its partner.
    ASSERT_TRUE(WaitUntil([&] { return focus() == Control(IDC_SSCOMMAND2); }));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForText(IDC_LABEL1, "Welcome to Lull-Cast!"));
    ASSERT_TRUE(WaitUntil([&] { return focus() == Control(IDC_SSCOMMAND1); }));
    ASSERT_TRUE(tab_to(IDC_SSCOMMAND3));
    PressKey(VK_SPACE);
    const HWND menu = WaitForWindow(lullcast_->id, L"#32768", kFlowTimeout);
    ASSERT_NE(menu, nullptr);
    PressKey('H');  // Change &Handle
    ASSERT_TRUE(Closes(menu));
    ASSERT_TRUE(type_into_box("kay"));
    ASSERT_TRUE(Becomes([this] { return InfoIni(); }, Ini("kay")));
    ASSERT_TRUE(WaitForEvents("line", 7));  // the room hears of the handle after it is kept
    EXPECT_THAT(Story(),
                ElementsAre(kBanner, kLoadedNewbie, "click room1 6", "¬ activated ¬ by.newbie",
                            "¬ rsn ¬ afk", "¬ deactivated ¬ by.newbie",
                            StartsWith("¬ hrs: [00] ¬ mins: [00]"), "¬ handle ¬ changed [kay]"));
}

// The client's tests pin that nothing is sent and that IMs Off gives up in
// time with the window answering; here the program's own start and end.
TEST_F(EndToEndTest, WithoutAClientEveryFlowCompletes) {
    ASSERT_TRUE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK));
    ASSERT_NO_FATAL_FAILURE(StopAt("00:00:01"));
    ClickExitLabel();
    EXPECT_EQ(lullcast_->ExitCode(), 0U);
}

}  // namespace
}  // namespace lullcast::e2e
