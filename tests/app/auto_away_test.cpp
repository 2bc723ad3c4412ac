// Auto-away on the virtual clock: away after a minute without input, back at
// the first input after an away period that began by itself, and never inside
// a flow, a prompt or a period the user started. The clock stands at 0.3 s
// after loading; the idle time is looked at on every whole second.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/app_harness.h"

namespace lullcast::testing {
namespace {

struct AutoAwayCase {
    const char* name;
    std::function<void(AppHarness&)> script;
    double run_for;
    std::vector<std::string> statuses;  // the status lines, ms on the clock
};
void PrintTo(const AutoAwayCase& c, std::ostream* out) { *out << c.name; }

const AutoAwayCase kCases[] = {
    {"away at the set minute, back at the first input, idle counted afresh",
     [](AppHarness& app) { app.InputAt(125.5); },
     187,
     {"60000 status Going Idle...", "60600 status Idling...",
      "120000 status Sending data to chat...", "120600 status Idling...",
      "126000 status Returning...", "126600 status Welcome to Lull-Cast!",
      "186000 status Going Idle...", "186600 status Idling..."}},
    {"input during Start's own pauses ends the period right after Start",
     [](AppHarness& app) { app.InputAt(60.1); },
     62,
     {"60000 status Going Idle...", "60600 status Idling...", "60600 status Returning...",
      "61200 status Welcome to Lull-Cast!"}},
    {"a period the user started is ended only by Stop",
     [](AppHarness& app) {
         app.At(10, [&app] {
             app.last_input_at = app.loop.Now();
             app.StartIdling("lunch");
         });
         app.InputAt(30);
     },
     100,
     {"10000 status Going Idle...", "10600 status Idling...",
      "70000 status Sending data to chat...", "70600 status Idling..."}},
    {"the user's Stop ends an auto period once; later input finds nothing to end",
     [](AppHarness& app) {
         app.At(70.2, [&app] {
             app.last_input_at = app.loop.Now();  // the press of Stop is input itself
             app.form.SSCommand2_Click();
         });
         app.InputAt(100);
     },
     161,
     {"60000 status Going Idle...", "60600 status Idling...", "70200 status Returning...",
      "70800 status Welcome to Lull-Cast!", "160000 status Going Idle...",
      "160600 status Idling..."}},
    {"a prompt open past the minute delays Start to the next look after it",
     [](AppHarness& app) {
         app.At(50, [&app] {
             app.Answer("Al", [&app] { app.RunFor(25); });
             app.form.HandleChange_Click();
         });
     },
     77,
     {"76000 status Going Idle...", "76600 status Idling..."}},
    {"so does an information box",
     [](AppHarness& app) {
         app.At(50, [&app] {
             app.while_box_open = [&app] { app.RunFor(25); };
             app.form.About_Click();
         });
     },
     77,
     {"76000 status Going Idle...", "76600 status Idling..."}},
    {"Exit whose pauses span the minute ends without starting",
     [](AppHarness& app) { app.At(59.8, [&app] { app.form.Exit_Click(); }); },
     70,
     {"59800 status Bye-Bye!"}},
};

class AutoAwayTest : public ::testing::TestWithParam<AutoAwayCase> {};

TEST_P(AutoAwayTest, StatusLines) {
    const AutoAwayCase& c = GetParam();
    AppHarness app;
    app.settings.auto_away_minutes = 1;
    app.LoadQuietly();
    app.LookEverySecond();
    c.script(app);
    try {
        app.RunFor(c.run_for - 0.3);
    } catch (const ProgramEnded&) {
    }
    EXPECT_EQ(app.Log("status"), c.statuses);
}

INSTANTIATE_TEST_SUITE_P(Periods, AutoAwayTest, ::testing::ValuesIn(kCases));

TEST(AutoAwayStartTest, TakesTheSetReasonWithoutAPrompt) {
    AppHarness app;
    app.settings = {.auto_away_minutes = 2, .auto_reason = "coffee"};
    app.LoadQuietly();
    app.LookEverySecond();
    app.RunFor(120.5);
    EXPECT_EQ(app.Log(),
              (std::vector<std::string>{"120000 status Going Idle...", "120000 click 6",
                                        "120000 Start disabled", "120000 Stop enabled",
                                        "120000 tick on", "120000 chat ¬ activated ¬ by.Bob",
                                        "120300 chat ¬ rsn ¬ coffee", "120600 status Idling..."}));
}

}  // namespace
}  // namespace lullcast::testing
