// The window's flows as the chat room, the window and the settings see them:
// start-up, Start, Stop, Exit, Minimise and the menu's commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_harness.h"

namespace lullcast::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Form1FlowsTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_THAT(app.client.malformed_lines, IsEmpty()); }

    AppHarness app;
};

TEST_F(Form1FlowsTest, FirstStartFallsBackToNewbieAndSavesEveryChange) {
    app.form.Form_Load();
    EXPECT_EQ(app.journal.Entries(), (std::vector<JournalEntry>{
                                         {0ms, "topmost"},
                                         {0ms, "save "},
                                         {0ms, "save newbie"},
                                         {0ms, "chat ¬ Lull-Cast 2k3 ¬ tarn"},
                                         {300ms, "chat ¬ loaded ¬ newbie"},
                                     }));
    EXPECT_EQ(app.form.Handle(), "newbie");
    EXPECT_EQ(app.store.stored, "newbie");
    EXPECT_EQ(app.window.status_line, "Welcome to Lull-Cast!");
    EXPECT_TRUE(app.window.start_enabled);
    EXPECT_FALSE(app.window.stop_enabled);
    EXPECT_FALSE(app.window.tick_running);
}

TEST_F(Form1FlowsTest, StartWithAStoredHandleAnnouncesIt) {
    app.store.stored = "Bob";
    app.form.Form_Load();
    EXPECT_THAT(
        app.journal.Whats(),
        ElementsAre("topmost", "save Bob", "chat ¬ Lull-Cast 2k3 ¬ tarn", "chat ¬ loaded ¬ Bob"));
}

TEST_F(Form1FlowsTest, StartAsksForTheReasonAndBeginsTheIdlePeriod) {
    app.store.stored = "Bob";
    app.LoadQuietly();
    app.RunFor(10);
    const MonoTime start = app.Now();
    app.StartIdling("brb");
    EXPECT_EQ(app.journal.Entries(),
              (std::vector<JournalEntry>{
                  {start, "status Going Idle..."},
                  {start, "click 6"},
                  {start, "prompt What is your reason? | Lull-Cast 2k3 | brb"},
                  {start, "Start disabled"},
                  {start, "Stop enabled"},
                  {start, "tick on"},
                  {start, "chat ¬ activated ¬ by.Bob"},
                  {start + 300ms, "chat ¬ rsn ¬ brb"},
                  {start + 600ms, "status Idling..."},
              }));
    EXPECT_EQ(app.form.RsN(), "brb");
    EXPECT_EQ(app.form.HrZ(), "00");
    EXPECT_EQ(app.form.Minz(), "00");
    EXPECT_EQ(app.form.SecZ(), "00");
    EXPECT_EQ(app.window.elapsed_display, "00:00:00");
}

TEST_F(Form1FlowsTest, ACancelledOrEmptyReasonStillStartsTheIdlePeriod) {
    app.LoadQuietly();
    app.StartIdling(std::nullopt);
    EXPECT_EQ(app.form.RsN(), "");
    EXPECT_THAT(app.journal.Whats(), ::testing::Contains("chat ¬ rsn ¬ "));
    EXPECT_TRUE(app.window.tick_running);
    app.RunTicks(60);
    EXPECT_EQ(app.journal.Matching("chat ¬ rsn").back().what, "chat ¬ rsn ¬ ");
}

TEST_F(Form1FlowsTest, StopReportsTheCountersAndReturnsToReady) {
    app.store.stored = "Bob";
    app.LoadQuietly();
    app.StartIdling();
    app.RunTicks(5 * 60 + 37);
    const std::size_t before_stop = app.journal.Size();
    const MonoTime stop_time = app.Now();
    app.form.SSCommand2_Click();
    EXPECT_THAT(
        app.journal.Whats(before_stop),
        ElementsAre("status Returning...", "Start enabled", "Stop disabled", "tick off",
                    "chat ¬ deactivated ¬ by.Bob", "chat ¬ hrs: [00] ¬ mins: [05] ¬ secs: [37]",
                    "status Welcome to Lull-Cast!"));
    EXPECT_EQ(app.journal.Entries().back().at, stop_time + 600ms);
    // Stop resets nothing, and no tick follows.
    app.RunFor(5);
    EXPECT_EQ(app.form.SecZ(), "37");
    EXPECT_EQ(app.window.elapsed_display, "00:05:37");
}

TEST_F(Form1FlowsTest, StartAgainResetsTheCountersButNotTheDisplayUntilTheFirstTick) {
    app.LoadQuietly();
    app.StartIdling();
    app.RunTicks(75);
    app.form.SSCommand2_Click();
    app.StartIdling();
    EXPECT_EQ(app.form.HrZ() + app.form.Minz() + app.form.SecZ(), "000000");
    EXPECT_EQ(app.window.elapsed_display, "00:01:15");
    app.RunTicks(1);
    EXPECT_EQ(app.window.elapsed_display, "00:00:01");
}

TEST_F(Form1FlowsTest, ExitSaysGoodbyeWithoutStoppingTheIdlePeriod) {
    app.store.stored = "Bob";
    app.LoadQuietly();
    app.StartIdling();
    app.RunTicks(30);
    const std::size_t before_exit = app.journal.Size();
    const MonoTime exit_time = app.Now();
    EXPECT_THROW(app.form.Label3_Click(), ProgramEnded);
    EXPECT_EQ(app.journal.Whats(before_exit),
              (std::vector<std::string>{"status Bye-Bye!", "chat ¬ Lull-Cast 2k3 ¬ tarn",
                                        "chat ¬ unloaded ¬ Bob", "end"}));
    EXPECT_EQ(app.journal.Matching("chat ¬ Lull-Cast").back().at, exit_time + 300ms);
    EXPECT_EQ(app.journal.Entries().back().at, exit_time + 600ms);
}

TEST_F(Form1FlowsTest, TheMenusExitIsTheSameFlow) {
    app.LoadQuietly();
    EXPECT_THROW(app.form.Exit_Click(), ProgramEnded);
    EXPECT_THAT(app.journal.Whats(), ElementsAre("status Bye-Bye!", "chat ¬ Lull-Cast 2k3 ¬ tarn",
                                                 "chat ¬ unloaded ¬ newbie", "end"));
}

TEST_F(Form1FlowsTest, MinimisingChangesNothingElseAndTheCountingGoesOn) {
    app.LoadQuietly();
    app.StartIdling();
    app.RunTicks(10);
    app.form.Label2_Click();
    app.form.Minimize_Click();
    app.RunTicks(50);
    EXPECT_THAT(app.journal.Matching("minimise"), ::testing::SizeIs(2));
    EXPECT_EQ(app.journal.Matching("chat").size(), 2U + 3U);
    EXPECT_TRUE(app.window.tick_running);
}

TEST_F(Form1FlowsTest, InstantMessageCommandsAnnounceFirstAndKeepNoState) {
    app.LoadQuietly();
    const MonoTime start = app.Now();
    app.form.IMzOff_Click();
    app.form.IMzOff_Click();
    app.form.IMzON_Click();
    EXPECT_THAT(app.journal.Whats(),
                ElementsAre("chat ¬ ims ¬ [off]", "im $im_off .", "chat ¬ ims ¬ [off]",
                            "im $im_off .", "chat ¬ ims ¬ [on]", "im $im_on ."));
    EXPECT_EQ(app.Now(), start);  // no pause between the two steps
}

TEST_F(Form1FlowsTest, ChangeHandleTakesTheAnswerAsGiven) {
    struct Case {
        std::optional<std::string> answer;
        std::vector<std::string> expected;
        std::string handle_after;
    };
    const std::vector<Case> cases = {
        {"newbie", {"save newbie", "chat ¬ handle ¬ changed [newbie]"}, "newbie"},
        {"  big bob ", {"save   big bob ", "chat ¬ handle ¬ changed [  big bob ]"}, "  big bob "},
        {"a]<b>&", {"save a]<b>&", "chat ¬ handle ¬ changed [a]<b>&]"}, "a]<b>&"},
        // OK on an empty field sets the empty handle.
        {"", {"save ", "chat ¬ handle ¬ changed []"}, ""},
        // Cancel keeps the handle: nothing is saved or announced.
        {std::nullopt, {}, "Bob"},
    };
    for (const Case& test : cases) {
        AppHarness harness;
        harness.store.stored = "Bob";
        harness.LoadQuietly();
        harness.window.prompt_answers.push_back({test.answer, {}});
        harness.form.HandleChange_Click();
        std::vector<std::string> expected = {
            "prompt What is your handle? | Lull-Cast 2k3 | newbie"};
        expected.insert(expected.end(), test.expected.begin(), test.expected.end());
        EXPECT_EQ(harness.journal.Whats(), expected) << test.answer.value_or("(cancel)");
        EXPECT_EQ(harness.form.Handle(), test.handle_after);
        EXPECT_EQ(harness.store.stored, test.handle_after);
        EXPECT_THAT(harness.client.malformed_lines, IsEmpty());
    }
}

TEST_F(Form1FlowsTest, AnEmptyHandleLeavesNothingInItsPlace) {
    app.LoadQuietly();
    app.window.prompt_answers.push_back({"", {}});
    app.form.HandleChange_Click();
    app.StartIdling();
    app.RunTicks(60);
    EXPECT_THAT(app.journal.Matching("chat ¬ activated").front().what, "chat ¬ activated ¬ by.");
    EXPECT_THAT(app.journal.Matching("chat ¬ ").back().what, "chat ¬ hrs: [00] ¬ mins: [01]");
    EXPECT_EQ(app.journal.Matching("chat ¬  ¬ idle").size(), 1U);
}

TEST_F(Form1FlowsTest, InformationBoxesCarryTheTitleAndTheirStyle) {
    app.LoadQuietly();
    app.form.About_Click();
    app.form.Greetz_Click();
    app.form.Contacts_Click();
    const std::vector<std::string> boxes = app.journal.Whats();
    ASSERT_EQ(boxes.size(), 3U);
    EXPECT_THAT(boxes[0], ::testing::StartsWith("info 16 | Lull-Cast 2k3 | "));
    EXPECT_THAT(boxes[1], ::testing::StartsWith("info 64 | Lull-Cast 2k3 | "));
    EXPECT_THAT(boxes[2], ::testing::StartsWith("info 64 | Lull-Cast 2k3 | "));
    EXPECT_THAT(boxes[2], ::testing::HasSubstr("@"));
}

}  // namespace
}  // namespace lullcast::testing
