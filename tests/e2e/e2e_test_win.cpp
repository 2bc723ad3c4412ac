// Lull-Cast end to end: the program and the stand-in chat client run as
// separate processes; the test drives Lull-Cast only through its window, as a
// user would, and checks the client's event log (the exact bytes of every
// chat line, their order and spacing, the clicks and instant messages) and the
// settings file. One scenario per road a user takes; the details of each flow
// are pinned by the suites below this one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/text_win.h"
#include "e2e/lullcast_window_win.h"
#include "e2e/processes_win.h"
#include "e2e/standin_log.h"
#include "fade/announcer.h"
#include "ui/resource_ids.h"

namespace lullcast::e2e {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr auto kFlowTimeout = 10s;
// Items of the popup menu, counted in presses of the Down arrow key.
constexpr int kMenuChangeHandle = 4;
constexpr int kMenuImsOn = 5;
constexpr int kMenuImsOff = 6;
constexpr int kMenuExit = 8;

const std::string kBanner = "¬ Lull-Cast 2k3 ¬ tarn";
std::string Loaded(const std::string& handle) { return "¬ loaded ¬ " + handle; }
std::string Unloaded(const std::string& handle) { return "¬ unloaded ¬ " + handle; }
std::string Activated(const std::string& handle) { return "¬ activated ¬ by." + handle; }
std::string Reason(const std::string& reason) { return "¬ rsn ¬ " + reason; }
std::string Deactivated(const std::string& handle) { return "¬ deactivated ¬ by." + handle; }
std::string InfoIniHolding(const std::string& bytes) {
    return "[LullCast]\r\nHANDLE=" + bytes + "\r\n";
}

// What Lull-Cast did, one entry per event: "line", "click <window> <icon>",
// "im to=<hex>", "ims <on|off>"; IM windows are all "im", as their numbers
// depend on timing.
std::vector<std::string> Story(const std::vector<LogEvent>& events) {
    std::vector<std::string> story;
    for (const LogEvent& event : events) {
        const std::string window = event.Field("window");
        if (event.kind == "line") {
            story.emplace_back("line");
        } else if (event.kind == "click") {
            story.push_back("click " + (window.starts_with("im") ? "im" : window) + " " +
                            event.Field("icon"));
        } else if (event.kind == "im") {
            story.push_back("im to=" + event.Field("to"));
        } else if (event.kind == "ims") {
            story.push_back("ims " + event.words.at(0));
        }
    }
    return story;
}

class EndToEndTest : public ::testing::Test {
  protected:
    [[nodiscard]] std::filesystem::path LogPath() const { return scratch_.Path() / "standin.log"; }
    [[nodiscard]] std::filesystem::path InfoIniPath() const { return scratch_.Path() / "info.ini"; }
    [[nodiscard]] std::string InfoIni() const {
        return ReadFileBytes(InfoIniPath()).value_or("(no file)");
    }
    [[nodiscard]] std::vector<LogEvent> Events() const {
        return ParseStandinLog(ReadFileBytes(LogPath()).value_or(""));
    }
    [[nodiscard]] std::size_t CountOf(const std::string& kind) const {
        return EventsOfKind(Events(), kind).size();
    }

    void StartClient(std::vector<std::wstring> options = {}) {
        options.insert(options.begin(), {L"--log", LogPath().native()});
        client_ =
            ChildProcess::Start(ProgramsFolder() / "standin-client.exe", options, scratch_.Path());
        ASSERT_TRUE(client_);
        ASSERT_TRUE(WaitUntil([this] { return CountOf("ready") > 0; }, 15s)) << "client not ready";
    }
    // A copy of Lull-Cast in the scratch folder, so that its settings file is
    // this test's own.
    void StartLullCast() {
        const std::filesystem::path program = scratch_.Path() / "lullcast.exe";
        CopyFileW((ProgramsFolder() / "lullcast.exe").c_str(), program.c_str(), FALSE);
        window_.reset();
        lullcast_.reset();
        lullcast_ = ChildProcess::Start(program, {}, scratch_.Path());
        ASSERT_TRUE(lullcast_);
        window_ = LullCastWindow::Find(lullcast_->Id(), 15s);
        ASSERT_TRUE(window_) << "Lull-Cast's window did not show";
    }
    static std::filesystem::path ProgramsFolder() { return ThisProgramsFolder() / "e2e-programs"; }

    void WaitForLines(std::size_t count, std::chrono::milliseconds timeout = kFlowTimeout) {
        ASSERT_TRUE(WaitUntil([&] { return CountOf("line") >= count; }, timeout))
            << "fewer than " << count << " lines; the log:\n"
            << ReadFileBytes(LogPath()).value_or("(none)");
    }
    void WaitForText(int control_id, const std::string& text,
                     std::chrono::milliseconds timeout = kFlowTimeout) {
        ASSERT_TRUE(WaitUntil([&] { return window_->ControlText(control_id) == text; }, timeout))
            << "control " << control_id << " shows " << window_->ControlText(control_id);
    }

    // Presses Start and answers the reason prompt.
    void StartIdling(int button, const std::optional<std::string>& typed = std::nullopt) {
        window_->ClickButton(IDC_SSCOMMAND1);
        ASSERT_TRUE(window_->ReadInputBox(kFlowTimeout)) << "no reason prompt";
        ASSERT_TRUE(window_->AnswerInputBox(button, typed));
        ASSERT_NO_FATAL_FAILURE(WaitForText(IDC_LABEL1, "Idling..."));
        EXPECT_FALSE(window_->IsControlEnabled(IDC_SSCOMMAND1));
    }
    // Presses Stop once the elapsed time reads `elapsed`, if given.
    void StopAt(const std::optional<std::string>& elapsed) {
        if (elapsed) ASSERT_NO_FATAL_FAILURE(WaitForText(IDC_TIMED, *elapsed, 75s));
        window_->ClickButton(IDC_SSCOMMAND2);
        ASSERT_NO_FATAL_FAILURE(WaitForText(IDC_LABEL1, "Welcome to Lull-Cast!"));
        EXPECT_TRUE(window_->IsControlEnabled(IDC_SSCOMMAND1));
    }
    void ChangeHandle(int button, const std::string& typed) {
        ASSERT_TRUE(window_->ChooseMenuItem(kMenuChangeHandle));
        ASSERT_TRUE(window_->ReadInputBox(kFlowTimeout)) << "no handle prompt";
        ASSERT_TRUE(window_->AnswerInputBox(button, typed));
    }
    void ExpectLullCastEnds() {
        ASSERT_TRUE(lullcast_->WaitForExit(kFlowTimeout)) << "Lull-Cast is still running";
        EXPECT_EQ(lullcast_->ExitCode(), std::optional<DWORD>(0));
    }

    // The chat lines are exactly `texts`' faded lines in the client's code
    // page, all in the front room, and the lines of each flow (`flow_sizes`
    // at a time) at least 0.3 s apart.
    void ExpectLines(const std::vector<std::string>& texts,
                     const std::vector<std::size_t>& flow_sizes) const {
        const std::vector<LogEvent> lines = EventsOfKind(Events(), "line");
        std::vector<std::string> matched;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string hex = lines[i].Field("hex");
            const bool same =
                i < texts.size() &&
                hex == HexOf(ToAnsiCodePage(ComposeChatLine(0x00404000, 0x00FFFF00, texts[i])));
            matched.push_back(same ? texts[i] : "other bytes: " + hex);
            EXPECT_EQ(lines[i].Field("room"), "1") << "line " << i;
        }
        EXPECT_THAT(matched, ElementsAreArray(texts));
        std::size_t first = 0;
        for (const std::size_t size : flow_sizes) {
            for (std::size_t i = first + 1; i < first + size && i < lines.size(); ++i) {
                EXPECT_GE(lines[i].ms - lines[i - 1].ms, 300) << "lines " << i - 1 << ", " << i;
            }
            first += size;
        }
    }

    // Members end in reverse order: the programs before their folder.
    ScratchFolder scratch_;
    std::optional<ChildProcess> client_;
    std::optional<ChildProcess> lullcast_;
    std::optional<LullCastWindow> window_;
};

TEST_F(EndToEndTest, StartUpAnnouncesToTheFrontRoomAndClosingSaysGoodbye) {
    ASSERT_NO_FATAL_FAILURE(StartClient({L"--rooms", L"2"}));
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(WaitForLines(2));
    EXPECT_EQ(InfoIni(), InfoIniHolding("newbie"));
    EXPECT_EQ(window_->ControlText(IDC_TIMED), "00:00:00");
    EXPECT_FALSE(window_->IsControlEnabled(IDC_SSCOMMAND2));
    window_->Close();  // as the taskbar closes it
    ASSERT_NO_FATAL_FAILURE(ExpectLullCastEnds());
    ExpectLines({kBanner, Loaded("newbie"), kBanner, Unloaded("newbie")}, {2, 2});
}

TEST_F(EndToEndTest, AnIdlePeriodClicksReportsEachMinuteAndStopsWithItsTime) {
    ASSERT_TRUE(WriteFileBytes(InfoIniPath(), "[lullcast]\r\nhandle=Zo\xEB\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartClient());
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(WaitForLines(2));
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK, "out to lunch"));
    ASSERT_NO_FATAL_FAILURE(WaitForLines(7, 75s));
    ASSERT_NO_FATAL_FAILURE(StopAt("00:01:02"));
    ASSERT_NO_FATAL_FAILURE(WaitForLines(9));

    ExpectLines({kBanner, Loaded("Zoë"), Activated("Zoë"), Reason("out to lunch"), "¬ Zoë ¬ idle",
                 Reason("out to lunch"), "¬ hrs: [00] ¬ mins: [01]", Deactivated("Zoë"),
                 "¬ hrs: [00] ¬ mins: [01] ¬ secs: [02]"},
                {2, 2, 3, 2});
    const std::vector<LogEvent> events = Events();
    EXPECT_THAT(Story(events),
                ElementsAre("line", "line", "click room1 6", "line", "line", "click room1 1",
                            "line", "line", "line", "line", "line"));
    // The report comes with the sixtieth tick after Start.
    const long long report_after =
        EventsOfKind(events, "click")[1].ms - EventsOfKind(events, "line")[2].ms;
    EXPECT_GE(report_after, 59'500);
    EXPECT_LE(report_after, 62'000);
    // Found in any spelling and saved back in place, in the ANSI code page.
    EXPECT_EQ(InfoIni(), "[lullcast]\r\nhandle=Zo\xEB\r\n");
}

TEST_F(EndToEndTest, ExitOnTheTitleStripDuringAnIdlePeriodSaysGoodbyeWithoutATimeLine) {
    ASSERT_NO_FATAL_FAILURE(StartClient());
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(WaitForLines(2));
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(WaitForText(IDC_TIMED, "00:00:01"));
    window_->ClickExitLabel();
    ASSERT_NO_FATAL_FAILURE(ExpectLullCastEnds());
    ExpectLines(
        {kBanner, Loaded("newbie"), Activated("newbie"), Reason(""), kBanner, Unloaded("newbie")},
        {2, 2, 2});
    EXPECT_THAT(Story(Events()),
                ElementsAre("line", "line", "click room1 6", "line", "line", "line", "line"));
}

TEST_F(EndToEndTest, ImsOffAndOnWaitForAnImWindowThatOpensLate) {
    // Each press of the IM icon opens a window 0.8 s later, after two of
    // Lull-Cast's 0.3 s waits.
    ASSERT_NO_FATAL_FAILURE(StartClient({L"--im-delay-ms", L"800"}));
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(WaitForLines(2));
    ASSERT_TRUE(window_->ChooseMenuItem(kMenuImsOff));
    ASSERT_TRUE(WaitUntil([this] { return CountOf("ims") == 1; }, kFlowTimeout));
    // The extra presses open windows of their own; IMs On finds one built.
    ASSERT_TRUE(WaitUntil(
        [this] {
            const std::vector<std::string> story = Story(Events());
            return std::ranges::count(story, "click toolbar 5") ==
                   static_cast<std::ptrdiff_t>(CountOf("im-window-open"));
        },
        kFlowTimeout));
    ASSERT_TRUE(window_->ChooseMenuItem(kMenuImsOn));
    ASSERT_TRUE(WaitUntil([this] { return CountOf("ims") == 2; }, kFlowTimeout));

    ExpectLines({kBanner, Loaded("newbie"), "¬ ims ¬ [off]", "¬ ims ¬ [on]"}, {2, 1, 1});
    std::vector<std::string> story = Story(Events());
    const auto first_press = std::ranges::find(story, "click toolbar 5");
    const auto presses = std::count(first_press, story.end(), "click toolbar 5");
    EXPECT_GE(presses, 3) << "the late window was not waited for";
    std::erase(story, "click toolbar 5");
    EXPECT_THAT(
        story, ElementsAre("line", "line", "line", "click im 12", "im to=" + HexOf("$im_off"),
                           "ims off", "line", "click im 12", "im to=" + HexOf("$im_on"), "ims on"));
}

TEST_F(EndToEndTest, ChangeHandleKeepsWhatOkGivesEvenEmptyAndCancelKeepsTheHandle) {
    ASSERT_NO_FATAL_FAILURE(StartClient());
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(WaitForLines(2));
    ASSERT_NO_FATAL_FAILURE(ChangeHandle(IDOK, "Zoë <b>]"));
    ASSERT_NO_FATAL_FAILURE(WaitForLines(3));
    EXPECT_EQ(InfoIni(), InfoIniHolding("Zo\xEB <b>]"));
    ASSERT_NO_FATAL_FAILURE(ChangeHandle(IDCANCEL, "ignored"));
    ASSERT_TRUE(window_->Answers(1s));
    ASSERT_NO_FATAL_FAILURE(ChangeHandle(IDOK, ""));
    ASSERT_NO_FATAL_FAILURE(WaitForLines(4));
    EXPECT_EQ(InfoIni(), InfoIniHolding(""));
    ASSERT_TRUE(window_->ChooseMenuItem(kMenuExit));
    ASSERT_NO_FATAL_FAILURE(ExpectLullCastEnds());
    // The empty handle stored falls back to "newbie" at the next start.
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(WaitForLines(8));
    EXPECT_EQ(InfoIni(), InfoIniHolding("newbie"));
    ExpectLines({kBanner, Loaded("newbie"), "¬ handle ¬ changed [Zoë <b>]]",
                 "¬ handle ¬ changed []", kBanner, Unloaded(""), kBanner, Loaded("newbie")},
                {2, 1, 1, 2, 2});
}

TEST_F(EndToEndTest, WithoutAChatRoomNothingIsPostedAndEveryFlowCompletes) {
    ASSERT_NO_FATAL_FAILURE(StartClient({L"--rooms", L"0", L"--front-docs", L"1"}));
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK, "afk"));
    ASSERT_NO_FATAL_FAILURE(StopAt("00:00:01"));
    ASSERT_TRUE(window_->ChooseMenuItem(kMenuExit));
    ASSERT_NO_FATAL_FAILURE(ExpectLullCastEnds());
    EXPECT_THAT(Story(Events()), ElementsAre("click doc1 6"));
}

TEST_F(EndToEndTest, WithoutAClientEveryFlowCompletesAndTheWindowKeepsAnswering) {
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK));
    ASSERT_NO_FATAL_FAILURE(StopAt("00:00:01"));
    ASSERT_NO_FATAL_FAILURE(ChangeHandle(IDOK, "Bob"));
    ASSERT_TRUE(WaitUntil([this] { return InfoIni() == InfoIniHolding("Bob"); }, kFlowTimeout));
    // With no IM window ever, the command gives up after about 6 s, and the
    // window answers all the while.
    ASSERT_TRUE(window_->ChooseMenuItem(kMenuImsOff));
    for (int probe = 0; probe < 9 * 4; ++probe) {
        ASSERT_TRUE(window_->Answers(1s)) << "probe " << probe;
        std::this_thread::sleep_for(250ms);
    }
    // A client that comes after that gets nothing from the command. (Exit is
    // clicked: under Wine a program that starts later keeps the keyboard from
    // Lull-Cast's menu now and then.)
    ASSERT_NO_FATAL_FAILURE(StartClient());
    std::this_thread::sleep_for(1500ms);
    window_->ClickExitLabel();
    ASSERT_NO_FATAL_FAILURE(ExpectLullCastEnds());
    ExpectLines({kBanner, Unloaded("Bob")}, {2});
    EXPECT_THAT(Story(Events()), ElementsAre("line", "line"));
}

TEST_F(EndToEndTest, AClientClosedDuringAnIdlePeriodLeavesLullCastCountingAndAnswering) {
    ASSERT_NO_FATAL_FAILURE(StartClient());
    ASSERT_NO_FATAL_FAILURE(StartLullCast());
    ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK));
    ASSERT_NO_FATAL_FAILURE(WaitForLines(4));
    PostMessageW(FindProcessWindow(client_->Id(), L"AOL Frame25"), WM_CLOSE, 0, 0);
    ASSERT_TRUE(client_->WaitForExit(kFlowTimeout));
    const std::string elapsed = window_->ControlText(IDC_TIMED);
    EXPECT_TRUE(WaitUntil([&] { return window_->ControlText(IDC_TIMED) != elapsed; }, 3s))
        << "the elapsed time stays at " << elapsed;
    ASSERT_NO_FATAL_FAILURE(StopAt(std::nullopt));
    window_->ClickExitLabel();
    ASSERT_NO_FATAL_FAILURE(ExpectLullCastEnds());
    ExpectLines({kBanner, Loaded("newbie"), Activated("newbie"), Reason("brb")}, {2, 2});
}

}  // namespace
}  // namespace lullcast::e2e
