// Beside a client that behaves as a live one does (it stops answering for a
// while, builds its windows a child at a time) and a user who starts the
// program twice: Lull-Cast never stalls with the client, never posts twice,
// and never gives up on an IM window that is still being built. With AWAYLOG=1
// it lists at Stop what others said to the user while away.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

#include "core/text_win.h"
#include "e2e/session_win.h"
#include "fade/announcer.h"

namespace lullcast::e2e {
namespace {

using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

const std::string kBanner = "¬ Lull-Cast 2k3 ¬ tarn";
const std::string kLoaded = "¬ loaded ¬ newbie";

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST_F(EndToEndTest, ASecondStartPostsAndWritesNothingAndBringsTheFirstBack) {
    ASSERT_TRUE(StartBoth());
    const auto ini_written = std::filesystem::last_write_time(File("info.ini"));
    ClickLabel(IDC_LABEL2);
    ASSERT_TRUE(WaitUntil([this] { return IsIconic(window_) != FALSE; }, kFlowTimeout));

    const std::optional<ChildProcess> second = StartAnotherLullCast();
    ASSERT_TRUE(second.has_value());
    ASSERT_TRUE(second->WaitForExit(kFlowTimeout)) << "the second copy keeps running";
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(second->process.get(), &code);
    EXPECT_EQ(code, 0U);
    EXPECT_TRUE(WaitUntil([this] { return IsIconic(window_) == FALSE; }, 2s));
    EXPECT_TRUE(Answers(1s));
    EXPECT_EQ(std::filesystem::last_write_time(File("info.ini")), ini_written);
    EXPECT_EQ(Events("line").size(), 2U);

    // A copy that ended without its goodbye blocks no later start.
    TerminateProcess(lullcast_->process.get(), 1);
    ASSERT_TRUE(lullcast_->WaitForExit(kFlowTimeout));
    ASSERT_TRUE(StartLullCast());
    ASSERT_TRUE(WaitForEvents("line", 4));
    EXPECT_THAT(Story(), ElementsAre(kBanner, kLoaded, kBanner, kLoaded));
}

// The client's window thread stops for 20 s as Stop's first line arrives,
// with a draft in the room's input. The figures go to the output as well.
TEST_F(EndToEndTest, AClientThatStopsAnsweringNeverHoldsUpTheWindow) {
    ASSERT_TRUE(StartBoth({L"--hang-on", L"deactivated", L"--hang-ms", L"20000"}));
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK, "afk"));
    ASSERT_TRUE(ClickIntoRoomInput());
    TypeIntoFocus("brb", 50ms);
    Click(IDC_SSCOMMAND2);
    ASSERT_TRUE(WaitForEvents("hang", 1));
    const Clock::time_point hang = Clock::now();
    std::chrono::milliseconds longest_repaint{0};
    while (Events("hang-end").empty() && Since(hang) < 25s) {
        longest_repaint = std::max(longest_repaint, RepaintTime(5s));
        std::this_thread::sleep_for(100ms);
    }
    std::cout << "longest repaint during a 20 s stop: " << longest_repaint.count() << " ms\n";
    EXPECT_LT(longest_repaint, 1s);
    EXPECT_EQ(ControlText(IDC_LABEL1), "Welcome to Lull-Cast!");
    // The client took the line's Enter before it stopped, and the draft is
    // put back once it answers again.
    EXPECT_TRUE(WaitUntil([this] { return RoomInputText() == "brb"; }, 3s))
        << "the input holds \"" << RoomInputText() << '"';

    // Once the client answers again, the next lines arrive whole.
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK, "back"));
    ASSERT_TRUE(WaitForEvents("line", 6));
    EXPECT_EQ(BytesOfHex(Events("line")[5].Field("hex")),
              ToAnsiCodePage(ComposeChatLine(0x00404000, 0x00FFFF00, "¬ activated ¬ by.newbie")));

    // Exit 5 s into another stop ends the program at once.
    Click(IDC_SSCOMMAND2);
    ASSERT_TRUE(WaitForEvents("hang", 2));
    std::this_thread::sleep_for(5s);
    const Clock::time_point exit_clicked = Clock::now();
    ClickExitLabel();
    ExpectLullCastEnds();
    const std::chrono::milliseconds exit_took = Since(exit_clicked);
    std::cout << "Exit 5 s into a stop took " << exit_took.count() << " ms\n";
    EXPECT_LT(exit_took, 2s);
    // The lines sent while the client did not answer are lost, and only those.
    EXPECT_THAT(Story(), ElementsAre(kBanner, kLoaded, "click room1 6", "¬ activated ¬ by.newbie",
                                     "¬ rsn ¬ afk", "¬ deactivated ¬ by.newbie", "click room1 6",
                                     "¬ activated ¬ by.newbie", "¬ rsn ¬ back",
                                     "¬ deactivated ¬ by.newbie"));
}

// Every press opens a window that gets a child every 150 ms, its twelfth
// icon last, in front of the windows opened before.
TEST_F(EndToEndTest, ImsOffWaitsForAnImWindowThatIsBuiltAChildAtATime) {
    ASSERT_TRUE(StartBoth({L"--im-build-ms", L"150"}));
    ASSERT_TRUE(ChooseMenuItem(7));  // IMs Off
    ASSERT_TRUE(WaitForEvents("ims", 1));
    const std::vector<LogEvent> sent = Events("im");
    ASSERT_EQ(sent.size(), 1U);
    const std::size_t opened = Events("im-window-open").size();
    std::cout << "IM windows opened for one IMs Off: " << opened << "\n";
    EXPECT_LE(opened, 12U);
    // The window sent is the first one, which was built first.
    EXPECT_EQ(sent[0].Field("window"), "im1");
    EXPECT_THAT(Story(), ::testing::Contains("im $im_off: .").Times(1));
}

std::string LocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::array<char, 9> text{};
    std::snprintf(text.data(), text.size(), "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    return text.data();
}

// Wine 8 carries EM_GETLINE between processes cut to 20 characters.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The transcript holds more than a read of its head could copy (7,000 lines
// of some 45 bytes): the stand-in's own control, and the system's edit
// control, which wraps the lines, both give their end by the line messages.
// Where the system cuts their copies short (Wine), the head is read, and the
// list says that the end went unread.
class AwayLogEndToEndTest : public EndToEndTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AwayLogEndToEndTest, StopListsWhatNamedTheUserWhileAwayBehindTheTimeItWasSeen) {
    ASSERT_TRUE(WriteInfoIni("[LullCast]\r\nHANDLE=Bob\r\nAWAYLOG=1\r\n"));
    std::vector<std::wstring> options = {L"--keep-lines", L"20000",
                                         L"--fill-lines", L"7000",
                                         L"--say",        L"6000:Al:bob, you there?",
                                         L"--say",        L"6500:Eve:bobcat"};
    if (GetParam()) {
        options.emplace_back(L"--plain-transcript");
    }
    ASSERT_TRUE(StartBoth(options));
    StartIdling(IDOK);
    const std::string before = LocalTime();
    ASSERT_TRUE(WaitForEvents("said", 2)) << "nobody talked";
    StopAt(std::nullopt);
    const std::string after = LocalTime();
    const HWND list = WaitForWindow(lullcast_->id, L"LullCastMentions", kFlowTimeout);
    ASSERT_NE(list, nullptr) << "no list at Stop";
    std::array<wchar_t, 256> text{};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(GetDlgItem(list, IDC_MENTIONS_TEXT), WM_GETTEXT, text.size(),
                        reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 2000, &length);
    const std::string shown = NarrowToUtf8(std::wstring_view(text.data(), length));
    if (UnderWine()) {
        EXPECT_EQ(shown.substr(8),
                  "  (the room's transcript is longer than can be read: lines added to its end "
                  "are not seen)");
    } else {
        EXPECT_EQ(shown.substr(8), "  Al: bob, you there?");
    }
    EXPECT_TRUE(before <= shown.substr(0, 8) && shown.substr(0, 8) <= after) << shown;
    PostMessageW(GetDlgItem(list, IDC_MENTIONS_CLOSE), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([list] { return IsWindowVisible(list) == FALSE; }, kFlowTimeout));
}

INSTANTIATE_TEST_SUITE_P(Transcripts, AwayLogEndToEndTest, ::testing::Values(false, true),
                         [](const auto& run) { return run.param ? "Plain" : "StandIns"; });

}  // namespace
}  // namespace lullcast::e2e
