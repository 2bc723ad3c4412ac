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
