// Handlers that run nested inside another flow's pauses and prompts: the
// program yields to its event loop there, so ticks, buttons and menu commands
// can arrive in the middle of a flow.
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

class Form1NestingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.store.stored = "Bob";
        app.LoadQuietly();
    }
    void TearDown() override { EXPECT_THAT(app.client.malformed_lines, IsEmpty()); }

    // Runs up to the tick before the first report, then clears the journal.
    void IdleUntilJustBeforeTheFirstReport() {
        app.StartIdling("brb");
        app.RunTicks(59);
        app.journal.Clear();
    }

    AppHarness app;
};

TEST_F(Form1NestingTest, ATickInsideStartsPauseCountsFromTheReset) {
    app.After(0.1, [&] { app.form.Timer1_Timer(); });
    app.StartIdling("brb");
    EXPECT_EQ(app.form.SecZ(), "01");
    EXPECT_EQ(app.window.elapsed_display, "00:00:01");
    EXPECT_THAT(app.journal.Matching("chat"),
                ElementsAre(JournalEntry{300ms, "chat ¬ activated ¬ by.Bob"},
                            JournalEntry{600ms, "chat ¬ rsn ¬ brb"}));
    EXPECT_EQ(app.window.status_line, "Idling...");
}

TEST_F(Form1NestingTest, StopPressedBeforeStartFinishedRunsWholeInsideIt) {
    const MonoTime start = app.Now();
    app.After(0.1, [&] { app.form.SSCommand2_Click(); });
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
                  {start + 100ms, "status Returning..."},
                  {start + 100ms, "Start enabled"},
                  {start + 100ms, "Stop disabled"},
                  {start + 100ms, "tick off"},
                  {start + 100ms, "chat ¬ deactivated ¬ by.Bob"},
                  {start + 400ms, "chat ¬ hrs: [00] ¬ mins: [00] ¬ secs: [00]"},
                  {start + 700ms, "status Welcome to Lull-Cast!"},
                  // Start's pause was over by then; it finishes its own steps.
                  {start + 700ms, "chat ¬ rsn ¬ brb"},
                  {start + 1000ms, "status Idling..."},
              }));
    // The tick stays off: nothing counts afterwards.
    app.RunFor(120);
    EXPECT_EQ(app.form.SecZ(), "00");
    EXPECT_THAT(app.journal.Matching("click 1"), IsEmpty());
}

TEST_F(Form1NestingTest, ExitInsideStartsPauseEndsEverythingAtOnce) {
    app.After(0.1, [&] { app.form.Exit_Click(); });
    EXPECT_THROW(app.StartIdling("brb"), ProgramEnded);
    const std::vector<std::string> whats = app.journal.Whats();
    EXPECT_THAT(std::vector(whats.end() - 5, whats.end()),
                ElementsAre("chat ¬ activated ¬ by.Bob", "status Bye-Bye!",
                            "chat ¬ Lull-Cast 2k3 ¬ tarn", "chat ¬ unloaded ¬ Bob", "end"));
}

TEST_F(Form1NestingTest, ExitDuringAReportCutsTheReportShort) {
    IdleUntilJustBeforeTheFirstReport();
    app.After(1.1, [&] { app.form.Label3_Click(); });
    EXPECT_THROW(app.RunTicks(1), ProgramEnded);
    EXPECT_THAT(app.journal.Whats(),
                ElementsAre("click 1", "status Sending data to chat...", "chat ¬ Bob ¬ idle",
                            "status Bye-Bye!", "chat ¬ Lull-Cast 2k3 ¬ tarn",
                            "chat ¬ unloaded ¬ Bob", "end"));
}

TEST_F(Form1NestingTest, AMenuCommandDuringAReportSlipsBetweenItsLines) {
    IdleUntilJustBeforeTheFirstReport();
    const MonoTime report = app.Now() + 1s;
    app.After(1.1, [&] { app.form.IMzOff_Click(); });
    app.RunTicks(1);
    app.RunFor(1);
    EXPECT_EQ(app.journal.Entries(), (std::vector<JournalEntry>{
                                         {report, "click 1"},
                                         {report, "status Sending data to chat..."},
                                         {report, "chat ¬ Bob ¬ idle"},
                                         {report + 100ms, "chat ¬ ims ¬ [off]"},
                                         {report + 100ms, "im $im_off ."},
                                         {report + 300ms, "chat ¬ rsn ¬ brb"},
                                         {report + 600ms, "chat ¬ hrs: [00] ¬ mins: [01]"},
                                         {report + 600ms, "status Idling..."},
                                     }));
}

TEST_F(Form1NestingTest, AHandleChangedDuringAReportShowsInItsLaterLines) {
    app.StartIdling("brb");
    app.RunTicks(59);
    app.journal.Clear();
    app.window.prompt_answers.push_back({"Al", {}});
    app.After(1.1, [&] { app.form.HandleChange_Click(); });
    app.RunTicks(1);
    app.RunFor(1);
    EXPECT_THAT(app.journal.Whats(),
                ElementsAre("click 1", "status Sending data to chat...", "chat ¬ Bob ¬ idle",
                            "prompt What is your handle? | Lull-Cast 2k3 | newbie", "save Al",
                            "chat ¬ handle ¬ changed [Al]", "chat ¬ rsn ¬ brb",
                            "chat ¬ hrs: [00] ¬ mins: [01]", "status Idling..."));
}

TEST_F(Form1NestingTest, TicksKeepCountingWhileAPromptIsOpen) {
    app.StartIdling("brb");
    // The user takes 75 seconds over the handle prompt; a report falls inside it.
    app.window.prompt_answers.push_back({"Al", [&] { app.RunFor(75); }});
    app.form.HandleChange_Click();
    EXPECT_EQ(app.form.Minz() + ":" + app.form.SecZ(), "01:15");
    EXPECT_THAT(app.journal.Matching("chat ¬ Bob ¬ idle"), ::testing::SizeIs(1));
    EXPECT_EQ(app.journal.Matching("chat").back().what, "chat ¬ handle ¬ changed [Al]");
}

TEST_F(Form1NestingTest, TicksThatFallDueDuringASlowReportRunAfterItNotInsideIt) {
    app.StartIdling("brb");
    app.RunTicks(59);
    // From now on every chat line takes the client 1.2 s.
    app.client.while_sending = [&] { app.loop.Advance(1200ms); };
    const MonoTime report = app.Now() + 1s;
    app.RunTicks(1);
    EXPECT_EQ(app.Now(), report + 3 * 1200ms + 600ms);  // the report's own length
    app.RunFor(0);
    // The four ticks that fell due meanwhile ran one after another, after it.
    EXPECT_EQ(app.ticks_run, 64);
    EXPECT_EQ(app.window.elapsed_display, "00:01:04");
    EXPECT_EQ(app.journal.Matching("click 1").size(), 1U);
    app.RunTicks(1);
    EXPECT_EQ(app.Now(), report + 5s);  // and the schedule is back on whole seconds
}

}  // namespace
}  // namespace lullcast::testing
