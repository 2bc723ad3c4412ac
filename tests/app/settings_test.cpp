// The settings dialog as the main window's logic runs it: what is written to
// the settings store, what is said when it cannot be, and when each chosen
// value begins to count.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "fade/announcer.h"
#include "settings/settings_fields.h"
#include "support/app_harness.h"

namespace lullcast::testing {
namespace {

using Edit = std::function<void(SettingsChoice&)>;

// The dialog answers OK with the shown choice edited by `edit`.
void AnswerSettings(AppHarness& app, Edit edit) {
    app.edit_settings = [edit = std::move(edit)](const SettingsChoice& shown,
                                                 const ChatLineInLook&) {
        SettingsChoice choice = shown;
        edit(choice);
        return std::optional(choice);
    };
}

struct SaveCase {
    const char* name;
    std::function<void(AppHarness&)> setup;  // settings, store and dialog
    std::vector<std::string> journal;
    std::vector<std::string> boxes;
};
void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }

const AwaySettings kCustom = {
    .auto_away_minutes = 10,
    .auto_reason = "lunch",
    .report_minutes = 5,
    .look = {.fade = {0x0000FF, 0x00FFFF}, .wavy = true, .face = "Verdana"},
    .away_log = true};

const SaveCase kSaves[] = {
    {"Cancel writes nothing", [](AppHarness&) {}, {"0 settings"}, {}},
    {"OK without a change writes nothing",
     [](AppHarness& app) {
         app.settings = kCustom;
         app.starts_with_windows = true;
         AnswerSettings(app, [](SettingsChoice&) {});
     },
     {"0 settings"},
     {}},
    {"the same values typed another way are no change",
     [](AppHarness& app) {
         app.settings = kCustom;
         AnswerSettings(app, [](SettingsChoice& c) {
             c.fields.colours = "#ff0000,#ffff00";
             c.fields.report = "05 ";
         });
     },
     {"0 settings"},
     {}},
    {"a field that is not valid changes nothing",
     [](AppHarness& app) {
         app.settings = kCustom;
         AnswerSettings(app, [](SettingsChoice& c) {
             c.fields.wavy = true;
             c.fields.colours = "teal";
             c.start_with_windows = true;
         });
     },
     {"0 settings"},
     {}},
    {"what changed is written, a default removed",
     [](AppHarness& app) {
         app.settings = kCustom;
         AnswerSettings(app, [](SettingsChoice& c) {
             c.fields.colours = "#004040, #00ffff";
             c.fields.face = "Comic Sans MS";
             c.fields.auto_away = "0";
         });
     },
     {"0 settings", "0 remove FADE", "0 write FONT=Comic Sans MS", "0 remove AUTOAWAY"},
     {}},
    {"start with Windows switched on",
     [](AppHarness& app) {
         AnswerSettings(app, [](SettingsChoice& c) { c.start_with_windows = true; });
     },
     {"0 settings", "0 run on"},
     {}},
    {"start with Windows switched off",
     [](AppHarness& app) {
         app.starts_with_windows = true;
         AnswerSettings(app, [](SettingsChoice& c) { c.start_with_windows = false; });
     },
     {"0 settings", "0 run off"},
     {}},
    {"writes that fail are named in a box, those that succeed not",
     [](AppHarness& app) {
         app.failing = {"WAVY", "REPORTMINUTES", "RUN"};
         AnswerSettings(app, [](SettingsChoice& c) {
             c.fields.wavy = true;
             c.fields.auto_away = "5";
             c.fields.report = "3";
             c.start_with_windows = true;
         });
     },
     {"0 settings", "0 write WAVY=1", "0 write AUTOAWAY=5", "0 write REPORTMINUTES=3", "0 run on",
      "0 info 16 | Lull-Cast 2k3"},
     {"These settings could not be saved, and hold only until Lull-Cast ends: Wave, Report "
      "every, Start with Windows."}},
};

class SettingsSaveTest : public ::testing::TestWithParam<SaveCase> {};

// Whatever was saved, the dialog's valid choice is what the program runs by.
TEST_P(SettingsSaveTest, WritesOnlyWhatChangedAndAppliesTheChoice) {
    const SaveCase& c = GetParam();
    AppHarness app;
    app.LoadQuietly();
    app.Mark();
    c.setup(app);
    const SettingsFields before = FieldsShowing(app.settings);
    std::optional<SettingsChoice> chosen;
    if (auto answer = app.edit_settings) {
        app.edit_settings = [&app, &chosen, answer](const SettingsChoice& shown,
                                                    const ChatLineInLook& line_in) {
            EXPECT_EQ(shown.fields, FieldsShowing(app.settings));
            EXPECT_EQ(shown.start_with_windows, app.starts_with_windows);
            chosen = answer(shown, line_in);
            return chosen;
        };
    }
    app.form.Settings_Click();
    EXPECT_EQ(app.Log(), c.journal);
    EXPECT_EQ(app.box_texts, c.boxes);
    const SettingsFields expected = [&] {
        if (chosen) {
            const auto taken = SettingsFromFields(chosen->fields);
            if (const auto* const settings = std::get_if<AwaySettings>(&taken)) {
                return FieldsShowing(*settings);
            }
        }
        return before;
    }();
    EXPECT_EQ(FieldsShowing(app.settings), expected);
}

INSTANTIATE_TEST_SUITE_P(Choices, SettingsSaveTest, ::testing::ValuesIn(kSaves));

// A look chosen while Start's lines go out counts from the next line; the
// preview is the line that Start then posts.
TEST(SettingsLookTest, TheNextLineTakesTheChosenLookAsPreviewed) {
    const std::vector<Colour> colours = {0x0000FF, 0x00FFFF, 0xFF0000};
    const LookSettings chosen = {.fade = colours, .wavy = true, .face = "Comic Sans MS"};
    const LineLook look = {.colours = colours, .wavy = true, .face = "Comic Sans MS"};
    AppHarness app;
    app.LoadQuietly();
    std::string preview;
    std::string plain_preview;
    app.edit_settings = [&](const SettingsChoice& shown, const ChatLineInLook& line_in) {
        preview = line_in(chosen);
        plain_preview = line_in({});
        SettingsChoice choice = shown;
        choice.fields.colours = "#FF0000, #FFFF00, #0000FF";
        choice.fields.wavy = true;
        choice.fields.face = "Comic Sans MS";
        return std::optional(choice);
    };
    app.After(0.1, [&app] { app.form.Settings_Click(); });
    app.StartIdling();
    app.RunFor(1);
    app.form.SSCommand2_Click();
    app.StartIdling();

    EXPECT_EQ(plain_preview,
              ComposeChatLine(LineLook{.colours = kPlainFadeColours}, "¬ activated ¬ by.Bob"));
    const std::vector<std::string> lines = {
        ComposeChatLine(LineLook{.colours = kPlainFadeColours}, "¬ activated ¬ by.Bob"),
        ComposeChatLine(look, "¬ rsn ¬ brb"),
        ComposeChatLine(look, "¬ deactivated ¬ by.Bob"),
        ComposeChatLine(look, "¬ hrs: [00] ¬ mins: [00] ¬ secs: [01]"),
        preview,
        ComposeChatLine(look, "¬ rsn ¬ brb"),
    };
    EXPECT_EQ(app.chat_lines, lines);
    EXPECT_EQ(preview, ComposeChatLine(look, "¬ activated ¬ by.Bob"));
    EXPECT_EQ(app.form.Clr1(), 0x0000FFU);
    EXPECT_EQ(app.form.Clr2(), 0xFF0000U);
}

// A period keeps the report interval and the away log it began with; the
// next one takes the chosen ones.
TEST(SettingsPeriodTest, ReportIntervalAndAwayLogCountFromTheNextPeriod) {
    AppHarness app;
    app.transcript = "";
    app.LoadQuietly();
    app.StartIdling();
    AnswerSettings(app, [](SettingsChoice& c) {
        c.fields.report = "5";
        c.fields.away_log = true;
    });
    app.At(90, [&app] { app.form.Settings_Click(); });
    app.RunTicks(200);
    EXPECT_EQ(app.Log("click 1"),
              (std::vector<std::string>{"60300 click 1", "120300 click 1", "180300 click 1"}));
    EXPECT_EQ(app.Log("read"), std::vector<std::string>{});

    app.form.SSCommand2_Click();
    app.Mark();
    app.StartIdling();
    app.RunTicks(600);
    EXPECT_EQ(app.Log("click 1"), (std::vector<std::string>{"300000 click 1", "600000 click 1"}));
    ASSERT_FALSE(app.Log("read").empty());
    EXPECT_EQ(app.Log("read").front(), "0 read");
}

struct AutoAwayCase {
    const char* name;
    std::optional<int> auto_away;  // before the dialog
    std::function<void(AppHarness&)> script;
    double until;
    std::vector<std::string> log;  // status lines and reasons, ms on the clock
};
void PrintTo(const AutoAwayCase& c, std::ostream* out) { *out << c.name; }

// The dialog at `seconds` on the clock; its use is input.
void SettingsAt(AppHarness& app, double seconds, Edit edit) {
    AnswerSettings(app, std::move(edit));
    app.At(seconds, [&app] {
        app.last_input_at = app.loop.Now();
        app.form.Settings_Click();
    });
}

const AutoAwayCase kAutoAway[] = {
    {"switched on: away at the first look a minute after the dialog, with its reason",
     std::nullopt,
     [](AppHarness& app) {
         SettingsAt(app, 50, [](SettingsChoice& c) {
             c.fields.auto_away = "1";
             c.fields.reason = "coffee";
         });
     },
     115,
     {"110000 status Going Idle...", "110300 chat ¬ rsn ¬ coffee", "110600 status Idling..."}},
    {"switched off while an auto period runs: the return ends it, no other begins",
     1,
     [](AppHarness& app) {
         SettingsAt(app, 80, [](SettingsChoice& c) { c.fields.auto_away = "0"; });
     },
     200,
     {"60000 status Going Idle...", "60300 chat ¬ rsn ¬ auto-away", "60600 status Idling...",
      "80000 status Returning...", "80600 status Welcome to Lull-Cast!"}},
    {"an open dialog holds Start until the next look after it",
     1,
     [](AppHarness& app) {
         app.edit_settings = [&app](const SettingsChoice&, const ChatLineInLook&) {
             app.RunFor(25);
             return std::optional<SettingsChoice>();
         };
         app.At(50, [&app] { app.form.Settings_Click(); });
     },
     80,
     {"76000 status Going Idle...", "76300 chat ¬ rsn ¬ auto-away", "76600 status Idling..."}},
};

class SettingsAutoAwayTest : public ::testing::TestWithParam<AutoAwayCase> {};

TEST_P(SettingsAutoAwayTest, AwayAndBackByTheChosenSettings) {
    const AutoAwayCase& c = GetParam();
    AppHarness app;
    app.settings.auto_away_minutes = c.auto_away;
    app.LoadQuietly();
    app.LookEverySecond();
    c.script(app);
    app.loop.RunUntil(Seconds(c.until));
    std::vector<std::string> log;
    for (const std::string& entry : app.Log()) {
        const std::string what = entry.substr(entry.find(' ') + 1);
        if (what.starts_with("status") || what.starts_with("chat ¬ rsn")) log.push_back(entry);
    }
    EXPECT_EQ(log, c.log);
}

INSTANTIATE_TEST_SUITE_P(Dialog, SettingsAutoAwayTest, ::testing::ValuesIn(kAutoAway));

}  // namespace
}  // namespace lullcast::testing
