// The main window's logic as the chat room, the window and the settings see
// it, on a virtual clock: every flow, flows nested in another's pauses, and
// the elapsed-time counter with its reports.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/app_harness.h"

namespace lullcast::testing {
namespace {

struct FlowCase {
    const char* name;
    // After a quiet load with the handle Bob; its journal is checked from its
    // Mark() on.
    std::function<void(AppHarness&)> steps;
    std::vector<std::string> expected;
};
void PrintTo(const FlowCase& c, std::ostream* out) { *out << c.name; }

void Idle(AppHarness& app, int ticks, std::optional<std::string> reason = "brb") {
    app.StartIdling(std::move(reason));
    app.RunTicks(ticks);
    app.Mark();
}
// Marks the journal right after Start's first line, then presses Start.
void StartWithMarkInside(AppHarness& app) {
    app.After(0, [&app] { app.Mark(); });
    app.StartIdling();
}
const char* const kReport = "1000 status Sending data to chat...";

const FlowCase kFlows[] = {
    {"start-up without a stored handle falls back to newbie and saves every change",
     [](AppHarness& app) {
         app.stored_handle = "";
         app.Mark();
         app.form.Form_Load();
     },
     {"0 topmost", "0 save", "0 save newbie", "0 chat ¬ Lull-Cast 2k3 ¬ tarn",
      "300 chat ¬ loaded ¬ newbie"}},
    {"Start clicks, asks for the reason and begins the period",
     [](AppHarness& app) {
         app.RunFor(10);
         app.Mark();
         app.StartIdling("brb");
     },
     {"0 status Going Idle...", "0 click 6", "0 prompt What is your reason? | Lull-Cast 2k3 | brb",
      "0 Start disabled", "0 Stop enabled", "0 tick on", "0 chat ¬ activated ¬ by.Bob",
      "300 chat ¬ rsn ¬ brb", "600 status Idling..."}},
    {"a tick inside Start's pause counts from the reset counters",
     [](AppHarness& app) {
         app.After(0.1, [&app] { app.form.Timer1_Timer(); });
         StartWithMarkInside(app);
     },
     {"100 display 00:00:01", "300 chat ¬ rsn ¬ brb", "600 status Idling..."}},
    {"the sixtieth tick reports; a Cancel and an empty handle leave blanks",
     [](AppHarness& app) {
         app.Answer("");
         app.form.HandleChange_Click();
         Idle(app, 59, std::nullopt);
         app.RunTicks(1);
     },
     {"1000 display 00:00:60", "1000 click 1", kReport, "1000 chat ¬  ¬ idle", "1300 chat ¬ rsn ¬ ",
      "1600 chat ¬ hrs: [00] ¬ mins: [01]", "1600 status Idling..."}},
    {"Stop reports the counters and returns to ready",
     [](AppHarness& app) {
         Idle(app, 337);
         app.form.SSCommand2_Click();
     },
     {"0 status Returning...", "0 Start enabled", "0 Stop disabled", "0 tick off",
      "0 chat ¬ deactivated ¬ by.Bob", "300 chat ¬ hrs: [00] ¬ mins: [05] ¬ secs: [37]",
      "600 status Welcome to Lull-Cast!"}},
    {"Stop inside Start's pause runs whole; Start posts its last line, not its status",
     [](AppHarness& app) {
         app.After(0.1, [&app] { app.form.SSCommand2_Click(); });
         StartWithMarkInside(app);
         app.RunFor(5);
     },
     {"100 status Returning...", "100 Start enabled", "100 Stop disabled", "100 tick off",
      "100 chat ¬ deactivated ¬ by.Bob", "400 chat ¬ hrs: [00] ¬ mins: [00] ¬ secs: [00]",
      "700 status Welcome to Lull-Cast!", "700 chat ¬ rsn ¬ brb"}},
    {"Stop inside a report's pause runs whole; the report's lines follow, its status not",
     [](AppHarness& app) {
         Idle(app, 59);
         app.After(1.1, [&app] { app.form.SSCommand2_Click(); });
         app.RunTicks(1);
     },
     {"1000 display 00:00:60", "1000 click 1", kReport, "1000 chat ¬ Bob ¬ idle",
      "1100 status Returning...", "1100 Start enabled", "1100 Stop disabled", "1100 tick off",
      "1100 chat ¬ deactivated ¬ by.Bob", "1400 chat ¬ hrs: [00] ¬ mins: [01] ¬ secs: [00]",
      "1700 status Welcome to Lull-Cast!", "1700 chat ¬ rsn ¬ brb",
      "2000 chat ¬ hrs: [00] ¬ mins: [01]"}},
    {"Exit during a report cuts it short",
     [](AppHarness& app) {
         Idle(app, 59);
         app.After(1.1, [&app] { app.form.Label3_Click(); });
         app.RunTicks(1);
     },
     {"1000 display 00:00:60", "1000 click 1", kReport, "1000 chat ¬ Bob ¬ idle",
      "1100 status Bye-Bye!", "1400 chat ¬ Lull-Cast 2k3 ¬ tarn", "1700 chat ¬ unloaded ¬ Bob",
      "1700 end"}},
    {"menu commands during a report slip between its lines; a handle is taken as given",
     [](AppHarness& app) {
         Idle(app, 59);
         app.After(1.1, [&app] {
             app.form.IMzOff_Click();
             app.form.IMzON_Click();
             app.Answer(" a]<b>& ");
             app.form.HandleChange_Click();
         });
         app.RunTicks(1);
     },
     {"1000 display 00:00:60", "1000 click 1", kReport, "1000 chat ¬ Bob ¬ idle",
      "1100 chat ¬ ims ¬ [off]", "1100 im $im_off .", "1100 chat ¬ ims ¬ [on]", "1100 im $im_on .",
      "1100 prompt What is your handle? | Lull-Cast 2k3 | newbie", "1100 save  a]<b>& ",
      "1100 chat ¬ handle ¬ changed [ a]<b>& ]", "1300 chat ¬ rsn ¬ brb",
      "1600 chat ¬ hrs: [00] ¬ mins: [01]", "1600 status Idling..."}},
    {"Cancel keeps the handle; the menu's Exit; Min, Minimize and the boxes",
     [](AppHarness& app) {
         app.form.Label2_Click();
         app.form.Minimize_Click();
         app.form.About_Click();
         app.form.Greetz_Click();
         app.form.Contacts_Click();
         app.Answer(std::nullopt);
         app.form.HandleChange_Click();
         app.form.Exit_Click();
     },
     {"0 minimise", "0 minimise", "0 info 16 | Lull-Cast 2k3", "0 info 64 | Lull-Cast 2k3",
      "0 info 64 | Lull-Cast 2k3", "0 prompt What is your handle? | Lull-Cast 2k3 | newbie",
      "0 status Bye-Bye!", "300 chat ¬ Lull-Cast 2k3 ¬ tarn", "600 chat ¬ unloaded ¬ Bob",
      "600 end"}},
};

class Form1FlowTest : public ::testing::TestWithParam<FlowCase> {};

TEST_P(Form1FlowTest, JournalsExactlyTheFlowsSteps) {
    AppHarness app;
    app.LoadQuietly();
    app.Mark();
    try {
        GetParam().steps(app);
    } catch (const ProgramEnded&) {
    }
    EXPECT_EQ(app.Log(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Flows, Form1FlowTest, ::testing::ValuesIn(kFlows));

// The display shows the seconds before their carry: "00:00:60", then "00:01:01".
TEST(Form1CounterTest, DisplayAfterEachTickAndAfterStartingAgain) {
    const std::pair<int, const char*> steps[] = {
        {1, "00:00:01"},    {9, "00:00:09"},     {10, "00:00:10"},
        {60, "00:00:60"},   {61, "00:01:01"},    {3600, "00:59:60"},
        {3601, "01:00:01"}, {36001, "10:00:01"}, {360001, "100:00:01"}};
    AppHarness app;
    app.StartIdling();
    for (const auto& [tick, display] : steps) {
        app.RunTicks(tick - app.ticks_run);
        EXPECT_EQ(app.display, display) << "tick " << tick;
    }
    app.form.SSCommand2_Click();
    const MonoTime start = app.loop.Now();
    app.StartIdling();
    app.RunTicks(1);
    EXPECT_EQ(app.display, "00:00:01");
    EXPECT_EQ(app.loop.Now(), start + Seconds(1));
}

// The report's last line for the m-th minute: the hours are carried after it.
std::string ReportLine(int minute) {
    const auto two_digits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    const int hours = (minute - 1) / 60;
    return "hrs: [" + two_digits(hours) + "] ¬ mins: [" + two_digits(minute - hours * 60) + "]";
}

// Every N-th whole minute since Start, across the hours, on time however long
// the reports take; an interval that does not divide the hour keeps its spacing.
TEST(Form1CounterTest, ReportsEveryIntervalOfTheWholeTimeForThreeHours) {
    for (const int interval : {1, 7}) {
        AppHarness app;
        app.settings.report_minutes = interval;
        app.LoadQuietly();
        app.Mark();
        app.StartIdling();
        std::vector<std::string> clicks;
        std::vector<std::string> lines = {"0 chat ¬ activated ¬ by.Bob", "300 chat ¬ rsn ¬ brb"};
        for (int minute = interval; minute <= 180; minute += interval) {
            const std::string at = std::to_string(minute * 60'000);
            clicks.push_back(at + " click 1");
            lines.push_back(at + " chat ¬ Bob ¬ idle");
            lines.push_back(std::to_string(minute * 60'000 + 300) + " chat ¬ rsn ¬ brb");
            lines.push_back(std::to_string(minute * 60'000 + 600) + " chat ¬ " +
                            ReportLine(minute));
        }
        app.RunTicks(3 * 3600);
        EXPECT_EQ(app.Log("click 1"), clicks) << "every " << interval;
        EXPECT_EQ(app.Log("chat"), lines) << "every " << interval;
    }
}

}  // namespace
}  // namespace lullcast::testing
