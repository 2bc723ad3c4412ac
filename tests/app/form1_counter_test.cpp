// The elapsed-time counter: the two-digit rule, the display, the carries and
// the per-minute report, over up to a hundred hours of virtual ticks.
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

class Form1CounterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.store.stored = "Bob";
        app.LoadQuietly();
        app.StartIdling("brb");
        app.journal.Clear();
    }
    void TearDown() override { EXPECT_THAT(app.client.malformed_lines, IsEmpty()); }

    [[nodiscard]] std::string Counters() const {
        return app.form.HrZ() + ":" + app.form.Minz() + ":" + app.form.SecZ();
    }

    AppHarness app;
};

TEST_F(Form1CounterTest, DisplayAndCountersAfterEachTick) {
    struct Step {
        int tick;
        const char* display;
        const char* counters;
    };
    const std::vector<Step> steps = {
        {1, "00:00:01", "00:00:01"},     {9, "00:00:09", "00:00:09"},
        {10, "00:00:10", "00:00:10"},    {59, "00:00:59", "00:00:59"},
        {60, "00:00:60", "00:01:00"},    {61, "00:01:01", "00:01:01"},
        {300, "00:04:60", "00:05:00"},   {3599, "00:59:59", "00:59:59"},
        {3600, "00:59:60", "01:00:00"},  {3601, "01:00:01", "01:00:01"},
        {36000, "09:59:60", "10:00:00"}, {36001, "10:00:01", "10:00:01"},
    };
    for (const Step& step : steps) {
        app.RunTicks(step.tick - app.ticks_run);
        EXPECT_EQ(app.window.elapsed_display, step.display) << "tick " << step.tick;
        EXPECT_EQ(Counters(), step.counters) << "tick " << step.tick;
    }
}

TEST_F(Form1CounterTest, TheSixtiethTickClicksAndReports) {
    app.RunTicks(59);
    EXPECT_THAT(app.journal.Whats(), IsEmpty());
    const MonoTime report_time = app.Now() + 1s;
    app.RunTicks(1);
    EXPECT_EQ(app.journal.Entries(), (std::vector<JournalEntry>{
                                         {report_time, "click 1"},
                                         {report_time, "status Sending data to chat..."},
                                         {report_time, "chat ¬ Bob ¬ idle"},
                                         {report_time + 300ms, "chat ¬ rsn ¬ brb"},
                                         {report_time + 600ms, "chat ¬ hrs: [00] ¬ mins: [01]"},
                                         {report_time + 600ms, "status Idling..."},
                                     }));
}

TEST_F(Form1CounterTest, TheLastReportOfAnHourShowsSixtyMinutes) {
    app.RunTicks(3600);
    const std::vector<JournalEntry> hour_lines = app.journal.Matching("chat ¬ hrs");
    ASSERT_EQ(hour_lines.size(), 60U);
    EXPECT_EQ(hour_lines[0].what, "chat ¬ hrs: [00] ¬ mins: [01]");
    EXPECT_EQ(hour_lines[58].what, "chat ¬ hrs: [00] ¬ mins: [59]");
    EXPECT_EQ(hour_lines[59].what, "chat ¬ hrs: [00] ¬ mins: [60]");
    app.RunTicks(60);
    EXPECT_EQ(app.journal.Matching("chat ¬ hrs").back().what, "chat ¬ hrs: [01] ¬ mins: [01]");
}

TEST_F(Form1CounterTest, StopRightAfterAReportTickShowsTheCountersNotTheDisplay) {
    app.RunTicks(300);
    app.journal.Clear();
    app.form.SSCommand2_Click();
    EXPECT_EQ(app.journal.Matching("chat ¬ hrs").at(0).what,
              "chat ¬ hrs: [00] ¬ mins: [05] ¬ secs: [00]");
    EXPECT_EQ(app.window.elapsed_display, "00:04:60");
}

TEST_F(Form1CounterTest, AHundredHoursOfTicksKeepTimeAndReportEveryMinute) {
    constexpr int kHundredHours = 100 * 3600;
    app.RunTicks(kHundredHours);
    EXPECT_EQ(Counters(), "100:00:00");
    EXPECT_EQ(app.window.elapsed_display, "99:59:60");
    app.RunTicks(1);
    EXPECT_EQ(app.window.elapsed_display, "100:00:01");

    const std::vector<JournalEntry> clicks = app.journal.Matching("click 1");
    ASSERT_EQ(clicks.size(), 6000U);
    // The n-th tick is due n seconds after Start, however long the reports took.
    const MonoTime start = clicks[0].at - 60s;
    for (std::size_t minute = 0; minute < clicks.size(); ++minute) {
        ASSERT_EQ(clicks[minute].at, start + std::chrono::minutes(minute + 1)) << minute;
    }
    // Lines of one report stay 0.3 seconds apart.
    const std::vector<JournalEntry> lines = app.journal.Matching("chat");
    ASSERT_EQ(lines.size(), 3U * 6000U);
    for (std::size_t i = 0; i < lines.size(); i += 3) {
        ASSERT_EQ(lines[i + 1].at - lines[i].at, 300ms);
        ASSERT_EQ(lines[i + 2].at - lines[i + 1].at, 300ms);
    }
    EXPECT_EQ(lines.back().what, "chat ¬ hrs: [99] ¬ mins: [60]");
}

}  // namespace
}  // namespace lullcast::testing
