// The main window's logic as the chat room, the window and the settings see
// it, on a virtual clock: every flow, the elapsed-time counter, and handlers
// that run nested inside another flow's pauses and prompts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/app_harness.h"

namespace lullcast::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The journal from entry `first` on, each entry as "<ms after `start`> <what>".
std::vector<std::string> Timed(const AppHarness& app, std::size_t first, MonoTime start) {
    std::vector<std::string> timed;
    const std::vector<JournalEntry>& entries = app.journal.Entries();
    for (std::size_t i = first; i < entries.size(); ++i) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(entries[i].at - start);
        timed.push_back(std::to_string(ms.count()) + " " + entries[i].what);
    }
    return timed;
}

struct FlowCase {
    const char* name;
    std::string stored_handle;
    bool loaded;  // the window loaded before the flow, its own lines left out
    std::function<void(AppHarness&)> before;  // after loading
    std::function<void(AppHarness&)> flow;
    std::vector<std::string> expected;
};

void PrintTo(const FlowCase& c, std::ostream* out) { *out << c.name; }

void Idle(AppHarness& app, std::optional<std::string> reason, int ticks) {
    app.StartIdling(std::move(reason));
    app.RunTicks(ticks);
}
void AnswerNextPrompt(AppHarness& app, std::optional<std::string> answer) {
    app.window.prompt_answers.push_back({std::move(answer), {}});
}
std::vector<std::string> HandleChange(const std::string& saved_and_shown) {
    return {"0 prompt What is your handle? | Lull-Cast 2k3 | newbie", "0 save " + saved_and_shown,
            "0 chat ¬ handle ¬ changed [" + saved_and_shown + "]"};
}

const FlowCase kFlows[] = {
    {"first start falls back to newbie and saves every change",
     "",
     false,
     nullptr,
     [](AppHarness& app) { app.form.Form_Load(); },
     {"0 topmost", "0 save ", "0 save newbie", "0 chat ¬ Lull-Cast 2k3 ¬ tarn",
      "300 chat ¬ loaded ¬ newbie"}},
    {"start-up announces the stored handle",
     "Bob",
     false,
     nullptr,
     [](AppHarness& app) { app.form.Form_Load(); },
     {"0 topmost", "0 save Bob", "0 chat ¬ Lull-Cast 2k3 ¬ tarn", "300 chat ¬ loaded ¬ Bob"}},
    {"Start asks for the reason and begins the idle period",
     "Bob",
     true,
     [](AppHarness& app) { app.RunFor(10); },
     [](AppHarness& app) { app.StartIdling("brb"); },
     {"0 status Going Idle...", "0 click 6", "0 prompt What is your reason? | Lull-Cast 2k3 | brb",
      "0 Start disabled", "0 Stop enabled", "0 tick on", "0 chat ¬ activated ¬ by.Bob",
      "300 chat ¬ rsn ¬ brb", "600 status Idling..."}},
    {"the sixtieth tick clicks and reports; Cancel and an empty handle leave blanks",
     "Bob",
     true,
     [](AppHarness& app) {
         AnswerNextPrompt(app, "");
         app.form.HandleChange_Click();
         Idle(app, std::nullopt, 59);
     },
     [](AppHarness& app) { app.RunTicks(1); },
     {"1000 click 1", "1000 status Sending data to chat...", "1000 chat ¬  ¬ idle",
      "1300 chat ¬ rsn ¬ ", "1600 chat ¬ hrs: [00] ¬ mins: [01]", "1600 status Idling..."}},
    {"Stop reports the counters and returns to ready",
     "Bob",
     true,
     [](AppHarness& app) { Idle(app, "brb", 5 * 60 + 37); },
     [](AppHarness& app) { app.form.SSCommand2_Click(); },
     {"0 status Returning...", "0 Start enabled", "0 Stop disabled", "0 tick off",
      "0 chat ¬ deactivated ¬ by.Bob", "300 chat ¬ hrs: [00] ¬ mins: [05] ¬ secs: [37]",
      "600 status Welcome to Lull-Cast!"}},
    {"Exit on the title strip says goodbye without stopping",
     "Bob",
     true,
     [](AppHarness& app) { Idle(app, "brb", 30); },
     [](AppHarness& app) { EXPECT_THROW(app.form.Label3_Click(), ProgramEnded); },
     {"0 status Bye-Bye!", "300 chat ¬ Lull-Cast 2k3 ¬ tarn", "600 chat ¬ unloaded ¬ Bob",
      "600 end"}},
    {"the menu's Exit is the same flow",
     "",
     true,
     nullptr,
     [](AppHarness& app) { EXPECT_THROW(app.form.Exit_Click(), ProgramEnded); },
     {"0 status Bye-Bye!", "300 chat ¬ Lull-Cast 2k3 ¬ tarn", "600 chat ¬ unloaded ¬ newbie",
      "600 end"}},
    {"Min and the menu's Minimize only minimise",
     "",
     true,
     [](AppHarness& app) { Idle(app, "brb", 10); },
     [](AppHarness& app) {
         app.form.Label2_Click();
         app.form.Minimize_Click();
     },
     {"0 minimise", "0 minimise"}},
    {"the IM commands announce first, at once, and keep no state",
     "",
     true,
     nullptr,
     [](AppHarness& app) {
         app.form.IMzOff_Click();
         app.form.IMzOff_Click();
         app.form.IMzON_Click();
     },
     {"0 chat ¬ ims ¬ [off]", "0 im $im_off .", "0 chat ¬ ims ¬ [off]", "0 im $im_off .",
      "0 chat ¬ ims ¬ [on]", "0 im $im_on ."}},
    {"the information boxes carry the title and their style",
     "",
     true,
     nullptr,
     [](AppHarness& app) {
         app.form.About_Click();
         app.form.Greetz_Click();
         app.form.Contacts_Click();
     },
     {"0 info 16 | Lull-Cast 2k3", "0 info 64 | Lull-Cast 2k3", "0 info 64 | Lull-Cast 2k3"}},
    {"a handle is taken as given", "Bob", true,
     [](AppHarness& app) { AnswerNextPrompt(app, " a]<b>& "); },
     [](AppHarness& app) { app.form.HandleChange_Click(); }, HandleChange(" a]<b>& ")},
    {"Cancel keeps the handle",
     "Bob",
     true,
     [](AppHarness& app) { AnswerNextPrompt(app, std::nullopt); },
     [](AppHarness& app) {
         app.form.HandleChange_Click();
         app.form.Exit_Click();
     },
     {"0 prompt What is your handle? | Lull-Cast 2k3 | newbie", "0 status Bye-Bye!",
      "300 chat ¬ Lull-Cast 2k3 ¬ tarn", "600 chat ¬ unloaded ¬ Bob", "600 end"}},
};

class Form1FlowTest : public ::testing::TestWithParam<FlowCase> {};

TEST_P(Form1FlowTest, JournalsExactlyTheFlowsSteps) {
    const FlowCase& c = GetParam();
    AppHarness app;
    app.store.stored = c.stored_handle;
    if (c.loaded) app.LoadQuietly();
    if (c.before) c.before(app);
    const std::size_t first = app.journal.Size();
    const MonoTime start = app.Now();
    try {
        c.flow(app);
    } catch (const ProgramEnded&) {
    }
    EXPECT_EQ(Timed(app, first, start), c.expected);
    EXPECT_THAT(app.client.malformed_lines, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Flows, Form1FlowTest, ::testing::ValuesIn(kFlows));

// ---- The elapsed-time counter ----

class Form1CounterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.store.stored = "Bob";
        app.LoadQuietly();
        app.StartIdling("brb");
        app.journal.Clear();
    }
    [[nodiscard]] std::string Counters() const {
        return app.form.HrZ() + ":" + app.form.Minz() + ":" + app.form.SecZ();
    }
    AppHarness app;
};

TEST_F(Form1CounterTest, DisplayAndCountersAfterEachTick) {
    const struct {
        int tick;
        const char* display;
        const char* counters;
    } steps[] = {
        {1, "00:00:01", "00:00:01"},     {9, "00:00:09", "00:00:09"},
        {10, "00:00:10", "00:00:10"},    {59, "00:00:59", "00:00:59"},
        {60, "00:00:60", "00:01:00"},    {61, "00:01:01", "00:01:01"},
        {3599, "00:59:59", "00:59:59"},  {3600, "00:59:60", "01:00:00"},
        {36000, "09:59:60", "10:00:00"}, {36001, "10:00:01", "10:00:01"},
    };
    for (const auto& step : steps) {
        app.RunTicks(step.tick - app.ticks_run);
        EXPECT_EQ(app.window.elapsed_display, step.display) << "tick " << step.tick;
        EXPECT_EQ(Counters(), step.counters) << "tick " << step.tick;
    }
}

TEST_F(Form1CounterTest, TheLastReportOfAnHourShowsSixtyMinutes) {
    app.RunTicks(3600 + 60);
    const std::vector<JournalEntry> reports = app.journal.Matching("chat ¬ hrs");
    ASSERT_EQ(reports.size(), 61U);
    EXPECT_EQ(reports[58].what, "chat ¬ hrs: [00] ¬ mins: [59]");
    EXPECT_EQ(reports[59].what, "chat ¬ hrs: [00] ¬ mins: [60]");
    EXPECT_EQ(reports[60].what, "chat ¬ hrs: [01] ¬ mins: [01]");
}

TEST_F(Form1CounterTest, StartAgainResetsTheCountersButNotTheDisplayUntilTheFirstTick) {
    app.RunTicks(3600 + 75);
    app.form.SSCommand2_Click();
    app.StartIdling();
    EXPECT_EQ(Counters(), "00:00:00");
    EXPECT_EQ(app.window.elapsed_display, "01:01:15");
    app.RunTicks(1);
    EXPECT_EQ(app.window.elapsed_display, "00:00:01");
}

TEST_F(Form1CounterTest, AHundredHoursOfTicksKeepTimeAndReportEveryMinute) {
    app.RunTicks(100 * 3600);
    EXPECT_EQ(Counters(), "100:00:00");
    EXPECT_EQ(app.window.elapsed_display, "99:59:60");
    app.RunTicks(1);
    EXPECT_EQ(app.window.elapsed_display, "100:00:01");
    // The n-th report is due n minutes after Start, however long reports take,
    // and the lines of one report stay 0.3 s apart.
    const std::vector<JournalEntry> clicks = app.journal.Matching("click 1");
    const std::vector<JournalEntry> lines = app.journal.Matching("chat");
    ASSERT_EQ(clicks.size(), 6000U);
    ASSERT_EQ(lines.size(), 3U * 6000U);
    const MonoTime start = clicks[0].at - 60s;
    for (std::size_t minute = 0; minute < clicks.size(); ++minute) {
        ASSERT_EQ(clicks[minute].at, start + std::chrono::minutes(minute + 1)) << minute;
        ASSERT_EQ(lines[3 * minute + 1].at - lines[3 * minute].at, 300ms) << minute;
        ASSERT_EQ(lines[3 * minute + 2].at - lines[3 * minute + 1].at, 300ms) << minute;
    }
    EXPECT_EQ(lines.back().what, "chat ¬ hrs: [99] ¬ mins: [60]");
}

// ---- Handlers nested inside another flow's pauses and prompts ----

class Form1NestingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.store.stored = "Bob";
        app.LoadQuietly();
    }
    void TearDown() override { EXPECT_THAT(app.client.malformed_lines, IsEmpty()); }
    // Runs the first report with `event` scripted 0.1 s into it.
    std::vector<std::string> FirstReportWith(std::function<void()> event) {
        Idle(app, "brb", 59);
        const std::size_t first = app.journal.Size();
        const MonoTime report = app.Now() + 1s;
        app.After(1.1, std::move(event));
        try {
            app.RunTicks(1);
            app.RunFor(1);
        } catch (const ProgramEnded&) {
        }
        return Timed(app, first, report);
    }
    AppHarness app;
};

TEST_F(Form1NestingTest, ATickInsideStartsPauseCountsFromTheReset) {
    app.After(0.1, [&] { app.form.Timer1_Timer(); });
    app.StartIdling("brb");
    EXPECT_EQ(app.window.elapsed_display, "00:00:01");
    EXPECT_EQ(app.form.SecZ(), "01");
    EXPECT_EQ(app.window.status_line, "Idling...");
}

TEST_F(Form1NestingTest, StopPressedBeforeStartFinishedRunsWholeInsideItAndTheTickStaysOff) {
    const MonoTime start = app.Now();
    app.After(0.1, [&] { app.form.SSCommand2_Click(); });
    app.StartIdling("brb");
    EXPECT_THAT(
        Timed(app, 6, start),
        ElementsAre("0 chat ¬ activated ¬ by.Bob", "100 status Returning...", "100 Start enabled",
                    "100 Stop disabled", "100 tick off", "100 chat ¬ deactivated ¬ by.Bob",
                    "400 chat ¬ hrs: [00] ¬ mins: [00] ¬ secs: [00]",
                    "700 status Welcome to Lull-Cast!",
                    // Start's pause was over by then; it finishes its own steps.
                    "700 chat ¬ rsn ¬ brb", "1000 status Idling..."));
    app.RunFor(120);
    EXPECT_EQ(app.form.SecZ(), "00");
}

TEST_F(Form1NestingTest, ExitInsideStartsPauseEndsEverythingAtOnce) {
    const MonoTime start = app.Now();
    app.After(0.1, [&] { app.form.Exit_Click(); });
    EXPECT_THROW(app.StartIdling("brb"), ProgramEnded);
    EXPECT_THAT(
        Timed(app, 6, start),
        ElementsAre("0 chat ¬ activated ¬ by.Bob", "100 status Bye-Bye!",
                    "400 chat ¬ Lull-Cast 2k3 ¬ tarn", "700 chat ¬ unloaded ¬ Bob", "700 end"));
}

TEST_F(Form1NestingTest, ExitDuringAReportCutsTheReportShort) {
    EXPECT_THAT(FirstReportWith([&] { app.form.Label3_Click(); }),
                ElementsAre("0 click 1", "0 status Sending data to chat...", "0 chat ¬ Bob ¬ idle",
                            "100 status Bye-Bye!", "400 chat ¬ Lull-Cast 2k3 ¬ tarn",
                            "700 chat ¬ unloaded ¬ Bob", "700 end"));
}

TEST_F(Form1NestingTest, MenuCommandsDuringAReportSlipBetweenItsLines) {
    EXPECT_THAT(
        FirstReportWith([&] {
            app.form.IMzOff_Click();
            AnswerNextPrompt(app, "Al");
            app.form.HandleChange_Click();
        }),
        ElementsAre("0 click 1", "0 status Sending data to chat...", "0 chat ¬ Bob ¬ idle",
                    "100 chat ¬ ims ¬ [off]", "100 im $im_off .",
                    "100 prompt What is your handle? | Lull-Cast 2k3 | newbie", "100 save Al",
                    "100 chat ¬ handle ¬ changed [Al]", "300 chat ¬ rsn ¬ brb",
                    "600 chat ¬ hrs: [00] ¬ mins: [01]", "600 status Idling..."));
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
    Idle(app, "brb", 59);
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
