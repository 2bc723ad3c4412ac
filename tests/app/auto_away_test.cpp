// The away settings on the virtual clock: auto-away after a spell without
// input, auto-return at the next input, and the report interval.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/app_harness.h"

namespace lullcast::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class AutoAwayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.settings.auto_away_minutes = 1;
        app.store.stored = "Bob";
        app.LoadQuietly();
        CheckEverySecond(1);
    }
    void TearDown() override { EXPECT_THAT(app.client.malformed_lines, IsEmpty()); }

    // The window's one-second look at the idle time, on whole seconds,
    // nested in whatever runs then.
    void CheckEverySecond(int second) {
        app.loop.At(Seconds(second), [this, second] {
            app.form.AutoAway_Timer();
            CheckEverySecond(second + 1);
        });
    }
    // Scripts `event` at `seconds` on the clock, which stood at 0 before loading.
    void At(double seconds, std::function<void()> event) {
        app.loop.At(Seconds(seconds), std::move(event));
    }
    void InputAt(double seconds) {
        At(seconds, [this] { app.last_input.at = app.Now(); });
    }
    [[nodiscard]] std::vector<MonoTime> TimesOf(std::string_view what) const {
        std::vector<MonoTime> times;
        for (const JournalEntry& entry : app.journal.Matching(what)) times.push_back(entry.at);
        return times;
    }

    AppHarness app;
};

TEST_F(AutoAwayTest, GoesAwayAfterTheSetMinutesAndReturnsAtTheFirstInput) {
    InputAt(125.5);
    app.RunFor(127);
    const std::vector<std::string> whats = app.journal.Whats();
    EXPECT_THAT(
        std::vector(whats.begin(), whats.begin() + 8),
        ElementsAre("status Going Idle...", "click 6", "Start disabled", "Stop enabled", "tick on",
                    "chat ¬ activated ¬ by.Bob", "chat ¬ rsn ¬ auto-away", "status Idling..."));
    EXPECT_THAT(app.journal.Matching("chat"),
                ElementsAre(JournalEntry{60s, "chat ¬ activated ¬ by.Bob"},
                            JournalEntry{60300ms, "chat ¬ rsn ¬ auto-away"},
                            JournalEntry{120s, "chat ¬ Bob ¬ idle"},
                            JournalEntry{120300ms, "chat ¬ rsn ¬ auto-away"},
                            JournalEntry{120600ms, "chat ¬ hrs: [00] ¬ mins: [01]"},
                            JournalEntry{126s, "chat ¬ deactivated ¬ by.Bob"},
                            JournalEntry{126300ms, "chat ¬ hrs: [00] ¬ mins: [01] ¬ secs: [05]"}));
    EXPECT_EQ(app.window.status_line, "Welcome to Lull-Cast!");
    // Idle time counts afresh from that input.
    app.RunFor(60);
    EXPECT_EQ(TimesOf("status Going Idle..."), (std::vector<MonoTime>{60s, 186s}));
}

TEST_F(AutoAwayTest, InputDuringStartsPausesEndsThePeriodRightAfterStart) {
    InputAt(60.1);
    app.RunFor(62);
    EXPECT_THAT(
        app.journal.Whats(7),
        ElementsAre("status Idling...", "status Returning...", "Start enabled", "Stop disabled",
                    "tick off", "chat ¬ deactivated ¬ by.Bob",
                    "chat ¬ hrs: [00] ¬ mins: [00] ¬ secs: [00]", "status Welcome to Lull-Cast!"));
    EXPECT_EQ(TimesOf("status Returning..."), std::vector<MonoTime>{600ms + 60s});
}

TEST_F(AutoAwayTest, APeriodTheUserStartedIsEndedOnlyByStop) {
    At(10, [this] {
        app.last_input.at = app.Now();
        app.StartIdling("lunch");
    });
    InputAt(30);
    app.RunFor(300);
    EXPECT_THAT(app.journal.Matching("chat ¬ deactivated"), IsEmpty());
    EXPECT_EQ(TimesOf("status Going Idle...").size(), 1U);
    EXPECT_EQ(app.form.RsN(), "lunch");
}

TEST_F(AutoAwayTest, AUserStopEndsAnAutoPeriodOnceAndIdleCountsAfresh) {
    At(70.2, [this] {
        app.last_input.at = app.Now();  // the press of Stop is input itself
        app.form.SSCommand2_Click();
    });
    InputAt(100);  // in the ready state: nothing to end
    app.RunFor(200);
    EXPECT_EQ(TimesOf("chat ¬ deactivated"), std::vector<MonoTime>{70200ms});
    EXPECT_EQ(TimesOf("status Going Idle..."), (std::vector<MonoTime>{60s, 160s}));
}

TEST_F(AutoAwayTest, NothingStartsInsideAFlowOrPromptOnlyAtTheNextLookAfter) {
    // The handle prompt stays open from 50 s to 75 s, past the set minute.
    At(50, [this] {
        app.window.prompt_answers.push_back({"Al", [this] { app.RunFor(25); }});
        app.form.HandleChange_Click();
    });
    app.RunFor(80);
    EXPECT_EQ(TimesOf("status Going Idle..."), std::vector<MonoTime>{76s});
    EXPECT_EQ(app.journal.Matching("chat").front().what, "chat ¬ handle ¬ changed [Al]");
}

TEST_F(AutoAwayTest, ExitWhileItCountsTowardsAwayEndsWithoutStarting) {
    // Exit's pauses span the look at which Start would run.
    At(59.8, [this] { app.form.Exit_Click(); });
    EXPECT_THROW(app.RunFor(70), ProgramEnded);
    EXPECT_THAT(app.journal.Whats(), ElementsAre("status Bye-Bye!", "chat ¬ Lull-Cast 2k3 ¬ tarn",
                                                 "chat ¬ unloaded ¬ Bob", "end"));
}

TEST_F(AutoAwayTest, ExitDuringAnAutoPeriodSaysGoodbyeWithoutATimeLine) {
    At(90, [this] { app.form.Label3_Click(); });
    EXPECT_THROW(app.RunFor(100), ProgramEnded);
    EXPECT_THAT(app.journal.Matching("chat ¬ deactivated"), IsEmpty());
    EXPECT_EQ(app.journal.Whats().back(), "end");
}

// The two-digit texts of a report's last line for the m-th elapsed minute.
std::string ReportLine(int minute) {
    const auto two_digits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    const int hours = (minute - 1) / 60;  // the report comes before the hour's carry
    return "chat ¬ hrs: [" + two_digits(hours) + "] ¬ mins: [" + two_digits(minute - hours * 60) +
           "]";
}

TEST(ReportIntervalTest, ReportsOnMultiplesOfTheIntervalAcrossHoursAndCountsAsBefore) {
    for (const int interval : {1, 5, 7, 60}) {
        AppHarness app;
        app.settings.report_minutes = interval;
        app.LoadQuietly();
        app.StartIdling("brb");
        app.journal.Clear();
        app.RunTicks(3 * 3600);
        std::vector<std::string> expected;
        for (int minute = interval; minute <= 180; minute += interval) {
            expected.push_back(ReportLine(minute));
        }
        std::vector<std::string> reported;
        for (const JournalEntry& entry : app.journal.Matching("chat ¬ hrs")) {
            reported.push_back(entry.what);
        }
        EXPECT_EQ(reported, expected) << "every " << interval;
        EXPECT_EQ(app.journal.Matching("click 1").size(), expected.size()) << "every " << interval;
        EXPECT_EQ(app.journal.Matching("status").size(), 2 * expected.size());
        EXPECT_EQ(app.form.HrZ() + ":" + app.form.Minz() + ":" + app.form.SecZ(), "03:00:00");
        EXPECT_EQ(app.window.elapsed_display, "02:59:60");
    }
}

}  // namespace
}  // namespace lullcast::testing
