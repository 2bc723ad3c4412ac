// Auto-away: with AUTOAWAY=1 Lull-Cast goes away by itself a minute after the
// last input to the desktop (a real pointer move) and returns at the next one,
// the user's first key typed into the chat room's input, which the lines of
// the return leave where it was. With FADE, WAVY and FONT every line takes
// the user's own look.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "core/text_win.h"
#include "e2e/session_win.h"
#include "fade/announcer.h"

namespace lullcast::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// Near the screen's bottom right corner, away from both programs' windows.
void MovePointerBy(int offset) {
    MovePointerTo({GetSystemMetrics(SM_CXSCREEN) - offset, GetSystemMetrics(SM_CYSCREEN) - offset});
}

TEST_F(EndToEndTest, GoesAwayAfterAMinuteWithoutInputAndReturnsAtTheFirstInput) {
    const std::string ini = "[LullCast]\r\nHANDLE=Bob\r\nAUTOAWAY=1\r\n";
    ASSERT_TRUE(WriteInfoIni(ini));
    ASSERT_TRUE(StartBoth());
    ASSERT_TRUE(ClickIntoRoomInput());

    MovePointerBy(5);
    const Clock::time_point last_input = Clock::now();
    ASSERT_TRUE(WaitForEvents("click", 1, 75s)) << "auto-away did not start";
    const Clock::time_point started = Clock::now();
    ASSERT_TRUE(WaitForText(IDC_LABEL1, "Idling..."));
    TypeIntoFocus("h", 0ms);
    const Clock::time_point input = Clock::now();
    ASSERT_TRUE(WaitForEvents("line", 5)) << "no return after input";
    const Clock::time_point returned = Clock::now();
    ASSERT_TRUE(WaitForText(IDC_LABEL1, "Welcome to Lull-Cast!"));
    TypeIntoFocus("ello every", 50ms);
    EXPECT_TRUE(WaitUntil([this] { return RoomInputText() == "hello every"; }, 2s))
        << "the input holds \"" << RoomInputText() << '"';

    // The display shows the seconds that Stop reports.
    const std::string seconds = ControlText(IDC_TIMED).substr(6);
    EXPECT_THAT(Story(), ::testing::ElementsAre(
                             "¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ Bob", "click room1 6",
                             "¬ activated ¬ by.Bob", "¬ rsn ¬ auto-away", "¬ deactivated ¬ by.Bob",
                             "¬ hrs: [00] ¬ mins: [00] ¬ secs: [" + seconds + "]"));
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    const long long start_late = ms(started - last_input) - 60'000;
    const long long return_late = ms(returned - input);
    EXPECT_GE(start_late, -100);
    EXPECT_LE(start_late, 2'000);
    EXPECT_LE(return_late, 2'000);

    ClickExitLabel();
    ExpectLullCastEnds();
    EXPECT_EQ(InfoIni(), ini);
}

TEST_F(EndToEndTest, TheUsersOwnColoursWaveAndFaceReachTheRoom) {
    const std::string ini =
        "[LullCast]\r\nHANDLE=Bob\r\nFADE=#FF0000, ffff00 ,#0000Ff\r\nWAVY=1\r\n"
        "FONT=Comic Sans MS\r\n";
    ASSERT_TRUE(WriteInfoIni(ini));
    ASSERT_TRUE(StartBoth());
    ASSERT_TRUE(WaitForEvents("line", 2));
    // Red, yellow, blue in the colour values' order, blue in the high byte.
    const std::array<Colour, 3> colours = {0x0000FF, 0x00FFFF, 0xFF0000};
    const std::string first = BytesOfHex(Events("line")[0].Field("hex"));
    EXPECT_EQ(first, ToAnsiCodePage(ComposeChatLine(
                         {.colours = colours, .wavy = true, .face = "Comic Sans MS"},
                         "¬ Lull-Cast 2k3 ¬ tarn")));
    EXPECT_TRUE(first.starts_with(
        "<font face=\"Comic Sans MS\"><Font Color=#FF1700><sup>\xAC<Font Color=#FF2E00></sup> "))
        << first;
    ClickExitLabel();
    ExpectLullCastEnds();
    EXPECT_EQ(InfoIni(), ini);
}

}  // namespace
}  // namespace lullcast::e2e
