// The settings dialog as the main window's logic runs it: what is written to
// the settings store, what is said when it cannot be, and when each chosen
// value begins to count.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "fade/announcer.h"
#include "settings/look_settings.h"
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

// The dialog opens on the settings in use; Cancel and an OK without a change
// write nothing; otherwise OK writes only what changed, names every write
// that failed in one box, and the choice is what the program runs by, saved
// or not.
TEST(SettingsSaveTest, WritesOnlyWhatChangedAndAppliesTheChoice) {
    const AwaySettings custom = {
        .auto_away_minutes = 10,
        .auto_reason = "lunch",
        .report_minutes = 5,
        .look = {.fade = {0x0000FF, 0x00FFFF}, .wavy = true, .face = "Verdana"},
        .away_log = true};
    AppHarness app;
    app.LoadQuietly();
    app.Mark();
    app.settings = custom;
    app.starts_with_windows = true;
    app.failing = {"WAVY", "REPORTMINUTES", "RUN"};
    app.form.Settings_Click();  // no answer: Cancel
    AnswerSettings(app, [&](SettingsChoice& c) {
        EXPECT_EQ(c.fields, FieldsShowing(custom));
        EXPECT_TRUE(c.start_with_windows);
    });
    app.form.Settings_Click();
    EXPECT_EQ(app.Log(), (std::vector<std::string>{"0 settings", "0 settings"}));
    EXPECT_EQ(FieldsShowing(app.settings), FieldsShowing(custom));

    SettingsFields chosen;
    AnswerSettings(app, [&](SettingsChoice& c) {
        c.fields.colours = "#004040, #00ffff";
        c.fields.wavy = false;
        c.fields.face = "Comic Sans MS";
        c.fields.auto_away = "0";
        c.fields.report = "3";
        c.start_with_windows = false;
        chosen = c.fields;
    });
    app.Mark();
    app.form.Settings_Click();
    EXPECT_EQ(app.Log(), (std::vector<std::string>{"0 settings", "0 remove FADE", "0 remove WAVY",
                                                   "0 write FONT=Comic Sans MS",
                                                   "0 remove AUTOAWAY", "0 write REPORTMINUTES=3",
                                                   "0 run off", "0 info 16 | Lull-Cast 2k3"}));
    EXPECT_EQ(app.box_texts,
              std::vector<std::string>{"These settings could not be saved, and hold only until "
                                       "Lull-Cast ends: Wave, Report every, Start with Windows."});
    EXPECT_EQ(FieldsShowing(app.settings),
              FieldsShowing(std::get<AwaySettings>(SettingsFromFields(chosen))));
}

// A look chosen while Start's lines go out counts from the next line; the
// preview is the Start line in the chosen look.
TEST(SettingsLookTest, ThePreviewAndTheNextLineTakeTheChosenLook) {
    const std::vector<Colour> colours = {0x0000FF, 0x00FFFF, 0xFF0000};
    const LineLook look = {.colours = colours, .wavy = true, .face = "Comic Sans MS"};
    AppHarness app;
    app.LoadQuietly();
    std::string preview;
    app.edit_settings = [&](const SettingsChoice& shown, const ChatLineInLook& line_in) {
        preview = line_in({.fade = colours, .wavy = true, .face = "Comic Sans MS"});
        SettingsChoice choice = shown;
        choice.fields.colours = "#FF0000, #FFFF00, #0000FF";
        choice.fields.wavy = true;
        choice.fields.face = "Comic Sans MS";
        return std::optional(choice);
    };
    app.After(0.1, [&app] { app.form.Settings_Click(); });
    app.StartIdling();
    app.RunFor(1);

    EXPECT_EQ(preview, ComposeChatLine(look, "¬ activated ¬ by.Bob"));
    EXPECT_EQ(app.chat_lines,
              (std::vector<std::string>{
                  ComposeChatLine(LineLook{.colours = kPlainFadeColours}, "¬ activated ¬ by.Bob"),
                  ComposeChatLine(look, "¬ rsn ¬ brb")}));
    EXPECT_EQ(app.form.Clr1(), 0x0000FFU);
    EXPECT_EQ(app.form.Clr2(), 0xFF0000U);
}

// FADE's two to eight colours, as the settings file gives them, are those
// of the Start line; one or nine leave the plain fade.
TEST(SettingsLookTest, TheStartLineFadesThroughTheFilesColours) {
    const std::vector<Colour> plain(kPlainFadeColours.begin(), kPlainFadeColours.end());
    const std::string eight =
        "#000000, #FF0000, #FFFF00, #00FF00, #00FFFF, #0000FF, #FF00FF, #FFFFFF";
    const struct {
        std::string fade;
        std::vector<Colour> colours;
    } cases[] = {{"#FF0000,#0000FF", {0x0000FF, 0xFF0000}},
                 {eight, {0, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0xFFFFFF}},
                 {"#FF0000", plain},
                 {eight + ", #808080", plain}};
    for (const auto& c : cases) {
        AppHarness app;
        app.settings.look = ParseLookSettings(c.fade, std::nullopt, std::nullopt);
        app.LoadQuietly();
        app.StartIdling();
        ASSERT_FALSE(app.chat_lines.empty()) << c.fade;
        EXPECT_EQ(app.chat_lines.front(),
                  ComposeChatLine(LineLook{.colours = c.colours}, "¬ activated ¬ by.Bob"))
            << c.fade;
    }
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

// With auto-away after a minute, looked at every second: a dialog held open
// holds it off, and switched off in its period, the period still ends on
// input and no other begins.
TEST(SettingsAutoAwayTest, AnOpenDialogHoldsItAndItsPeriodEndsOnInput) {
    AppHarness app;
    app.settings.auto_away_minutes = 1;
    app.LoadQuietly();
    app.LookEverySecond();
    app.edit_settings = [&app](const SettingsChoice& shown, const ChatLineInLook&) {
        if (app.loop.Now() < Seconds(60)) {
            app.RunFor(40);
            return std::optional<SettingsChoice>();
        }
        SettingsChoice choice = shown;
        choice.fields.auto_away = "0";
        return std::optional(choice);
    };
    app.At(30, [&app] { app.form.Settings_Click(); });
    app.At(80, [&app] {
        app.last_input_at = app.loop.Now();
        app.form.Settings_Click();
    });
    app.loop.RunUntil(Seconds(200));
    EXPECT_EQ(app.Log("status"),
              (std::vector<std::string>{"71000 status Going Idle...", "71600 status Idling...",
                                        "80000 status Returning...",
                                        "80600 status Welcome to Lull-Cast!"}));
}

}  // namespace
}  // namespace lullcast::testing
