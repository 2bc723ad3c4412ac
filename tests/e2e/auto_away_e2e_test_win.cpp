// Auto-away: with AUTOAWAY=1 Lull-Cast goes away by itself a minute after the
// last input to the desktop (a real pointer move) and returns at the next one,
// the user's first key typed into the chat room's input, which the lines of
// the return leave where it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/session_win.h"

namespace lullcast::e2e {
namespace {

using Clock = std::chrono::steady_clock;

TEST_F(EndToEndTest, GoesAwayAfterAMinuteWithoutInputAndReturnsAtTheFirstInput) {
    const std::string ini = "[LullCast]\r\nHANDLE=Bob\r\nAUTOAWAY=1\r\n";
    ASSERT_TRUE(WriteInfoIni(ini));
    ASSERT_TRUE(StartBoth());
    ASSERT_TRUE(ClickUntilInFront(RoomInput()));

    MovePointerNearCorner(5);
    const Clock::time_point last_input = Clock::now();
    ASSERT_TRUE(WaitForEvents("click", 1, 75s)) << "auto-away did not start";
    const Clock::time_point started = Clock::now();
    ASSERT_TRUE(WaitForText(IDC_LABEL1, "Idling..."));
    TypeKeys("h", 0ms);
    const Clock::time_point input = Clock::now();
    ASSERT_TRUE(WaitForEvents("line", 5)) << "no return after input";
    const Clock::time_point returned = Clock::now();
    ASSERT_TRUE(WaitForText(IDC_LABEL1, "Welcome to Lull-Cast!"));
    TypeKeys("ello every", 50ms);
    EXPECT_TRUE(Becomes([this] { return TextOf(RoomInput()); }, "hello every", 2s));

    // The display shows the seconds that Stop reports.
    const std::string seconds = ControlText(IDC_TIMED).substr(6);
    EXPECT_THAT(Story(), ::testing::ElementsAre(
                             kBanner, "¬ loaded ¬ Bob", "click room1 6", "¬ activated ¬ by.Bob",
                             "¬ rsn ¬ auto-away", "¬ deactivated ¬ by.Bob",
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
    EXPECT_EQ(lullcast_->ExitCode(), 0U);
    EXPECT_EQ(InfoIni(), ini);
}

}  // namespace
}  // namespace lullcast::e2e
