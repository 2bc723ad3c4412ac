// Beside a client that behaves as a live one does (it stops answering for a
// while) and a user who starts the program twice: Lull-Cast never stalls with
// the client and never posts twice. With AWAYLOG=1 it lists at Stop what
// others said to the user while away.
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

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST_F(EndToEndTest, ASecondStartPostsAndWritesNothingAndBringsTheFirstBack) {
    ASSERT_TRUE(StartBoth());
    const auto ini_written = std::filesystem::last_write_time(File("info.ini"));
    ClickLabel(IDC_LABEL2);
    ASSERT_TRUE(WaitUntil([this] { return IsIconic(window_) != FALSE; }));

    const std::optional<ChildProcess> second = StartAnotherLullCast();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->ExitCode(), 0U) << "the second copy keeps running";
    EXPECT_TRUE(WaitUntil([this] { return IsIconic(window_) == FALSE; }, 2s));
    EXPECT_TRUE(Answers(1s));
    EXPECT_EQ(std::filesystem::last_write_time(File("info.ini")), ini_written);
    EXPECT_EQ(Events("line").size(), 2U);

    // A copy that ended without its goodbye blocks no later start: here a
    // WM_QUIT from outside, whose code the copy ends with.
    PostThreadMessageW(GetWindowThreadProcessId(window_, nullptr), WM_QUIT, 3, 0);
    EXPECT_EQ(lullcast_->ExitCode(), 3U);
    lullcast_.reset();
    ASSERT_TRUE(StartLullCast());
    ASSERT_TRUE(WaitForEvents("line", 4));
    EXPECT_THAT(Story(), ElementsAre(kBanner, kLoadedNewbie, kBanner, kLoadedNewbie));
}

// The client's window thread stops for 20 s as Stop's first line arrives,
// with a draft in the room's input. The figures go to the output as well.
TEST_F(EndToEndTest, AClientThatStopsAnsweringNeverHoldsUpTheWindow) {
    ASSERT_TRUE(StartBoth({L"--hang-on", L"deactivated", L"--hang-ms", L"20000"}));
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK, "afk"));
    ASSERT_TRUE(ClickUntilInFront(RoomInput()));
    TypeKeys("brb", 50ms);
    Click(IDC_SSCOMMAND2);
    ASSERT_TRUE(WaitForEvents("hang", 1));
    const Clock::time_point hang = Clock::now();
    std::chrono::milliseconds longest_repaint{0};
    while (Events("hang-end").empty() && Since(hang) < 25s) {
        const Clock::time_point invalidated = Clock::now();
        InvalidateRect(window_, nullptr, FALSE);
        WaitUntil([this] { return GetUpdateRect(window_, nullptr, FALSE) == FALSE; }, 5s);
        longest_repaint = std::max(longest_repaint, Since(invalidated));
        std::this_thread::sleep_for(100ms);
    }
    std::cout << "longest repaint during a 20 s stop: " << longest_repaint.count() << " ms\n";
    EXPECT_LT(longest_repaint, 1s);
    EXPECT_EQ(ControlText(IDC_LABEL1), "Welcome to Lull-Cast!");
    // The client took the line's Enter before it stopped, and the draft is
    // put back once it answers again.
    EXPECT_TRUE(Becomes([this] { return TextOf(RoomInput()); }, "brb", 3s));

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
    EXPECT_EQ(lullcast_->ExitCode(), 0U);
    const std::chrono::milliseconds exit_took = Since(exit_clicked);
    std::cout << "Exit 5 s into a stop took " << exit_took.count() << " ms\n";
    EXPECT_LT(exit_took, 2s);
    // The lines sent while the client did not answer are lost, and only those.
    EXPECT_THAT(
        Story(),
        ElementsAre(kBanner, kLoadedNewbie, "click room1 6", "¬ activated ¬ by.newbie",
                    "¬ rsn ¬ afk", "¬ deactivated ¬ by.newbie", "click room1 6",
                    "¬ activated ¬ by.newbie", "¬ rsn ¬ back", "¬ deactivated ¬ by.newbie"));
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
    // The end that goes unread is told at Start's first look.
    const std::string before = LocalTime();
    StartIdling(IDOK);
    ASSERT_TRUE(WaitForEvents("said", 2)) << "nobody talked";
    StopAt(std::nullopt);
    const std::string after = LocalTime();
    const HWND list = WaitForWindow(lullcast_->id, L"LullCastMentions", kFlowTimeout);
    ASSERT_NE(list, nullptr) << "no list at Stop";
    const std::string shown = TextOf(GetDlgItem(list, IDC_MENTIONS_TEXT));
    if (UnderWine()) {
        EXPECT_EQ(shown.substr(8),
                  "  (the room's transcript is longer than can be read: lines added to its end "
                  "are not seen)");
    } else {
        EXPECT_EQ(shown.substr(8), "  Al: bob, you there?");
    }
    EXPECT_TRUE(before <= shown.substr(0, 8) && shown.substr(0, 8) <= after) << shown;
    EXPECT_TRUE(Press(list, IDC_MENTIONS_CLOSE));
}

INSTANTIATE_TEST_SUITE_P(Transcripts, AwayLogEndToEndTest, ::testing::Values(false, true),
                         [](const auto& run) { return run.param ? "Plain" : "StandIns"; });

}  // namespace
}  // namespace lullcast::e2e
