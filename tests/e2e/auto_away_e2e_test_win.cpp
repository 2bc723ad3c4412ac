// Auto-away end to end under the real window system: with AUTOAWAY=1 in the
// settings file, Lull-Cast goes away by itself a minute after the last input
// to the desktop and comes back at the next one. The input is a real mouse
// move injected with SendInput; the lines are checked byte for byte in the
// stand-in client's log, and the delays are printed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/text_win.h"
#include "e2e/lullcast_window_win.h"
#include "e2e/processes_win.h"
#include "e2e/standin_log.h"
#include "fade/announcer.h"
#include "ui/resource_ids.h"

namespace lullcast::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr Colour kStartColour = 0x00404000;
constexpr Colour kEndColour = 0x00FFFF00;
const std::string kInfoIni = "[LullCast]\r\nHANDLE=Bob\r\nAUTOAWAY=1\r\n";

std::string ChatLineHex(const std::string& text) {
    return HexOf(ToAnsiCodePage(ComposeChatLine(kStartColour, kEndColour, text)));
}

// A pointer move near the screen's bottom right corner, away from both
// programs' windows; each call moves it to another point, so that it is
// input to the desktop.
void MoveThePointer() {
    static int step = 0;
    const int offset = 5 + (++step % 2);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx =
        MulDiv(GetSystemMetrics(SM_CXSCREEN) - offset, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy =
        MulDiv(GetSystemMetrics(SM_CYSCREEN) - offset, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

long long MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

TEST(AutoAwayEndToEndTest, GoesAwayAfterAMinuteWithoutInputAndReturnsAtTheFirstInput) {
    const ScratchFolder scratch;
    const std::filesystem::path programs = ThisProgramsFolder() / "e2e-programs";
    const std::filesystem::path log = scratch.Path() / "standin.log";
    ASSERT_TRUE(WriteFileBytes(scratch.Path() / "info.ini", kInfoIni));
    const auto events = [&] { return ParseStandinLog(ReadFileBytes(log).value_or("")); };
    const auto lines = [&] { return EventsOfKind(events(), "line"); };
    const auto wait_for_lines = [&](std::size_t count, std::chrono::milliseconds timeout) {
        return WaitUntil([&] { return lines().size() >= count; }, timeout);
    };

    std::optional<ChildProcess> client = ChildProcess::Start(
        programs / "standin-client.exe", {L"--log", log.native()}, scratch.Path());
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitUntil([&] { return !EventsOfKind(events(), "ready").empty(); }, 15s));
    const std::filesystem::path program = scratch.Path() / "lullcast.exe";
    ASSERT_NE(CopyFileW((programs / "lullcast.exe").c_str(), program.c_str(), FALSE), FALSE);
    std::optional<ChildProcess> lullcast = ChildProcess::Start(program, {}, scratch.Path());
    ASSERT_TRUE(lullcast);
    const std::optional<LullCastWindow> window = LullCastWindow::Find(lullcast->Id(), 15s);
    ASSERT_TRUE(window);
    ASSERT_TRUE(wait_for_lines(2, 10s));

    // The minute counts from this input.
    MoveThePointer();
    const Clock::time_point last_input = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !EventsOfKind(events(), "click").empty(); }, 75s))
        << "auto-away did not start";
    const Clock::time_point started = Clock::now();
    ASSERT_TRUE(wait_for_lines(4, 10s));
    EXPECT_FALSE(window->IsControlEnabled(IDC_SSCOMMAND1));
    EXPECT_TRUE(window->IsControlEnabled(IDC_SSCOMMAND2));

    // The first report, then input.
    ASSERT_TRUE(wait_for_lines(7, 75s)) << "no minute report";
    EXPECT_TRUE(WaitUntil([&] { return window->ControlText(IDC_LABEL1) == "Idling..."; }, 5s));
    MoveThePointer();
    const Clock::time_point input = Clock::now();
    ASSERT_TRUE(wait_for_lines(8, 10s)) << "no return after input";
    const Clock::time_point returned = Clock::now();
    ASSERT_TRUE(wait_for_lines(9, 10s));
    ASSERT_TRUE(
        WaitUntil([&] { return window->ControlText(IDC_LABEL1) == "Welcome to Lull-Cast!"; }, 5s));
    EXPECT_TRUE(window->IsControlEnabled(IDC_SSCOMMAND1));

    // Stop reports the counters. The display shows them too, except right
    // after a report's tick, when it still reads 60 seconds and they 00.
    const std::string elapsed = window->ControlText(IDC_TIMED);
    ASSERT_EQ(elapsed.size(), 8U) << elapsed;
    const std::string seconds = elapsed.ends_with("60") ? "00" : elapsed.substr(6);
    const std::vector<std::string> texts = {"¬ Lull-Cast 2k3 ¬ tarn",
                                            "¬ loaded ¬ Bob",
                                            "¬ activated ¬ by.Bob",
                                            "¬ rsn ¬ auto-away",
                                            "¬ Bob ¬ idle",
                                            "¬ rsn ¬ auto-away",
                                            "¬ hrs: [00] ¬ mins: [01]",
                                            "¬ deactivated ¬ by.Bob",
                                            "¬ hrs: [00] ¬ mins: [01] ¬ secs: [" + seconds + "]"};
    std::vector<std::string> matched;
    for (const LogEvent& line : lines()) {
        const std::string hex = line.Field("hex");
        const auto text = std::find_if(texts.begin(), texts.end(),
                                       [&](const std::string& t) { return ChatLineHex(t) == hex; });
        matched.push_back(text != texts.end() ? *text : "other bytes " + hex);
    }
    EXPECT_THAT(matched, ElementsAreArray(texts));
    std::vector<std::string> story;
    for (const LogEvent& event : events()) {
        if (event.kind == "line") story.emplace_back("line");
        if (event.kind == "click")
            story.push_back(event.Field("window") + " " + event.Field("icon"));
    }
    EXPECT_THAT(story, ElementsAre("line", "line", "room1 6", "line", "line", "room1 1", "line",
                                   "line", "line", "line", "line"));

    const long long start_late = MillisecondsBetween(last_input, started) - 60'000;
    const long long return_late = MillisecondsBetween(input, returned);
    std::printf("auto-away: Start %lld ms after the set minute, Stop %lld ms after the input\n",
                start_late, return_late);
    EXPECT_GE(start_late, -100);
    EXPECT_LE(start_late, 2'000);
    EXPECT_LE(return_late, 2'000);

    window->ClickExitLabel();
    ASSERT_TRUE(lullcast->WaitForExit(10s));
    EXPECT_EQ(ReadFileBytes(scratch.Path() / "info.ini"), kInfoIni);
}

}  // namespace
}  // namespace lullcast::e2e
