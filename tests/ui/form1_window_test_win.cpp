// The main window on the real window system, driven from outside as a user
// would, through messages and injected input. The app tests pin the flows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/client_operations.h"
#include "core/pause.h"
#include "core/text_win.h"
#include "settings/handle_store.h"
#include "support/chat_line.h"
#include "support/scratch_folder_win.h"
#include "ui/form1_window.h"
#include "ui/resource_ids.h"
#include "ui/win32_event_loop.h"

namespace lullcast::testing {
namespace {

using ::testing::ElementsAre;

// Every client operation and box shown, in order; also into `record`, for a
// parent process to read after this one ends.
struct Journal final : ClientOperations, HandleStore {
    void SendChatLine(std::string_view line) override {
        Add(PlainTextOfChatLine(line).value_or("<malformed>"));
    }
    void SendInstantMessage(std::string_view to, std::string_view text) override {
        Add("im " + std::string(to) + " " + std::string(text));
    }
    void ClickFrontChildIcon(int position) override { Add("click " + std::to_string(position)); }
    [[nodiscard]] std::string LoadHandle() override { return handle; }
    void SaveHandle(std::string_view saved) override { handle = saved; }
    void Add(const std::string& what) {
        log.push_back(what);
        recorded += what + "\n";
        if (!record.empty()) WriteFileBytes(record, recorded);
    }
    std::vector<std::string> log;
    std::string recorded, handle;
    std::filesystem::path record;
};

std::string TextOf(HWND window) {
    std::array<wchar_t, 512> text{};
    const int length = GetWindowTextW(window, text.data(), text.size());
    return NarrowToUtf8(std::wstring_view(text.data(), static_cast<std::size_t>(length)));
}

// What to do, from inside its own modal loop, with the next visible window of
// a class ("#32770": a dialog or message box, "#32768": a popup menu).
struct Step {
    const wchar_t* class_name;
    std::function<void(HWND)> action;
};
std::deque<Step> steps;

BOOL CALLBACK FindStepWindow(HWND window, LPARAM found) {
    std::array<wchar_t, 16> name{};
    GetClassNameW(window, name.data(), name.size());
    if (std::wstring_view(name.data()) != steps.front().class_name || !IsWindowVisible(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK TakeStep(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/, DWORD /*time*/) {
    HWND found = nullptr;
    if (!steps.empty()) {
        EnumThreadWindows(GetCurrentThreadId(), &FindStepWindow, reinterpret_cast<LPARAM>(&found));
    }
    if (found == nullptr) return;
    const std::function<void(HWND)> action = std::move(steps.front().action);
    steps.pop_front();
    action(found);
}

// Runs `trigger` while the steps, in turn, act on the windows it opens.
void WithWindows(std::deque<Step> script, const std::function<void()>& trigger) {
    steps = std::move(script);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &TakeStep);
    trigger();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(steps.empty()) << "a window did not open";
    steps.clear();
}

Step MenuChoice(int downs) {  // 0: closed with Escape
    return {L"#32768", [downs](HWND menu) {
                for (int step = 0; step < downs; ++step) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                PostMessageW(menu, WM_KEYDOWN, downs > 0 ? VK_RETURN : VK_ESCAPE, 0);
            }};
}

// Notes the box's title and the first word of its text or field, then types
// `answer` in the field, if any, and presses OK.
Step BoxAnswer(Journal& journal, const std::string& answer = "") {
    return {L"#32770", [&journal, answer](HWND box) {
                const HWND field = GetDlgItem(box, IDC_INPUT_TEXT);
                const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
                journal.Add("box " + TextOf(box) + ": " +
                            (field ? TextOf(GetDlgItem(box, IDC_INPUT_PROMPT)) + " " + TextOf(field)
                                   : text.substr(0, text.find(' '))));
                if (field) SetWindowTextW(field, WidenUtf8(answer).c_str());
                SendMessageW(box, WM_COMMAND, IDOK, 0);
            }};
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

class Form1WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window_.Create());
        loop_.SetKeyboardWindow(Main());
        window_.Load();
    }
    [[nodiscard]] HWND Main() const { return window_.Handle(); }
    [[nodiscard]] HWND Control(int id) const {
        const HWND direct = GetDlgItem(Main(), id);
        return direct != nullptr ? direct : GetDlgItem(GetDlgItem(Main(), IDC_PICTURE1), id);
    }
    [[nodiscard]] bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    [[nodiscard]] POINT Origin() const {
        RECT bounds{};
        GetWindowRect(Main(), &bounds);
        return {bounds.left, bounds.top};
    }
    void Choose(int downs, std::deque<Step> then = {}) {
        then.push_front(MenuChoice(downs));
        WithWindows(std::move(then), [this] { Click(Control(IDC_SSCOMMAND3)); });
    }

    Win32EventLoop loop_;
    Journal journal_;
    Form1Window window_{journal_, journal_, loop_};
};

TEST_F(Form1WindowTest, LaysOutABorderlessTopmostPanelCentredOnTheWorkArea) {
    EXPECT_EQ(GetWindowLongPtrW(Main(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_NE(GetWindowLongPtrW(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT bounds{};
    GetClientRect(Main(), &bounds);
    EXPECT_EQ(std::pair(bounds.right, bounds.bottom), std::pair(121L, 66L));
    GetWindowRect(Main(), &bounds);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(bounds.left + bounds.right, work.left + work.right, 2);
    EXPECT_NEAR(bounds.top + bounds.bottom, work.top + work.bottom, 2);
    const struct {
        int id;
        const char* text;
        RECT place;  // a right and bottom of 0: not checked
    } controls[] = {
        {IDC_PICTURE1, "", {0, 0, 121, 17}},
        {IDC_LABEL2, "Min", {8, 0, 0, 0}},
        {IDC_TIMED, "00:00:00", {40, 0, 0, 0}},
        {IDC_LABEL3, "Exit", {96, 0, 0, 0}},
        {IDC_SSCOMMAND1, "Start", {8, 24, 41, 41}},
        {IDC_SSCOMMAND2, "Stop", {40, 24, 73, 41}},
        {IDC_SSCOMMAND3, "Menu", {72, 24, 105, 41}},
        {IDC_SSFRAME1, "", {0, 16, 121, 49}},
        {IDC_FRAME2, "", {0, 40, 121, 65}},
        {IDC_LABEL1, "Welcome to Lull-Cast!", {0, 48, 121, 65}},
    };
    for (const auto& c : controls) {
        ASSERT_NE(Control(c.id), nullptr) << c.id;
        EXPECT_EQ(TextOf(Control(c.id)), c.text);
        GetWindowRect(Control(c.id), &bounds);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&bounds), 2);
        if (c.place.right == 0) bounds.right = bounds.bottom = 0;
        EXPECT_TRUE(EqualRect(&bounds, &c.place))
            << c.text << " at " << bounds.left << "," << bounds.top << " " << bounds.right << ","
            << bounds.bottom;
        EXPECT_EQ(Enabled(c.id), c.id != IDC_SSCOMMAND2) << c.text;
    }
}

TEST_F(Form1WindowTest, StartAndStopRunTheirFlowsSwapTheButtonsAndRunTheTick) {
    WithWindows({BoxAnswer(journal_, "out for lunch")}, [this] { Click(Control(IDC_SSCOMMAND1)); });
    EXPECT_EQ(TextOf(Control(IDC_LABEL1)), "Idling...");
    EXPECT_EQ(std::pair(Enabled(IDC_SSCOMMAND1), Enabled(IDC_SSCOMMAND2)), std::pair(false, true));
    Pause(loop_, 2.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");

    Click(Control(IDC_SSCOMMAND2));
    EXPECT_EQ(std::pair(Enabled(IDC_SSCOMMAND1), Enabled(IDC_SSCOMMAND2)), std::pair(true, false));
    Pause(loop_, 1.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");  // the tick is off
    EXPECT_THAT(journal_.log,
                ElementsAre("¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ newbie", "click 6",
                            "box Lull-Cast 2k3: What is your reason? brb",
                            "¬ activated ¬ by.newbie", "¬ rsn ¬ out for lunch",
                            "¬ deactivated ¬ by.newbie", "¬ hrs: [00] ¬ mins: [00] ¬ secs: [02]"));
}

TEST_F(Form1WindowTest, EachMenuItemReachesItsFlow) {
    Choose(0);  // closed without a choice: nothing runs
    for (const int info_box : {1, 2, 3}) Choose(info_box, {BoxAnswer(journal_)});
    Choose(6);
    Choose(5);
    Choose(4, {BoxAnswer(journal_, "Bob")});
    EXPECT_EQ(journal_.handle, "Bob");
    EXPECT_THAT(
        journal_.log,
        ElementsAre("¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ newbie", "box Lull-Cast 2k3: Lull-Cast",
                    "box Lull-Cast 2k3: Greetz", "box Lull-Cast 2k3: AIM:", "¬ ims ¬ [off]",
                    "im $im_off .", "¬ ims ¬ [on]", "im $im_on .",
                    "box Lull-Cast 2k3: What is your handle? newbie", "¬ handle ¬ changed [Bob]"));
    Choose(7);
    EXPECT_TRUE(IsIconic(Main()));
}

void InjectMouse(POINT at, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

TEST_F(Form1WindowTest, PressesOnTheStripOrTheTimeMoveTheWindowAndMinMinimises) {
    SetForegroundWindow(Main());
    Pause(loop_, 0.1);
    const struct {
        POINT from, by;
        bool moves;
    } drags[] = {
        {{3, 8}, {30, 20}, true},     // a bare part of the strip
        {{50, 6}, {-40, 10}, true},   // the elapsed time
        {{60, 56}, {30, 20}, false},  // the status line
        {{3, 30}, {30, 20}, false},   // the buttons' panel
    };
    for (const auto& drag : drags) {
        const POINT before = Origin();
        POINT from = drag.from;
        ClientToScreen(Main(), &from);
        const POINT to{from.x + drag.by.x, from.y + drag.by.y};
        InjectMouse(from, 0);
        InjectMouse(from, MOUSEEVENTF_LEFTDOWN);
        InjectMouse({(from.x + to.x) / 2, (from.y + to.y) / 2}, 0);
        InjectMouse(to, MOUSEEVENTF_LEFTUP);
        Pause(loop_, 0.5);
        EXPECT_EQ(Origin().x - before.x, drag.moves ? drag.by.x : 0) << drag.from.x;
        EXPECT_EQ(Origin().y - before.y, drag.moves ? drag.by.y : 0) << drag.from.x;
    }
    POINT min{12, 6};
    ClientToScreen(Main(), &min);
    InjectMouse(min, MOUSEEVENTF_LEFTDOWN);
    InjectMouse(min, MOUSEEVENTF_LEFTUP);
    Pause(loop_, 0.5);
    EXPECT_TRUE(IsIconic(Main()));
    EXPECT_EQ(journal_.log.size(), 2U);
}

// Exit ends the process, so it runs in a child: idling, then "Exit" on the
// strip or, as the taskbar does, WM_CLOSE.
constexpr std::string_view kExitSwitch = "--exit-scenario";

int RunExitScenario(const char* record, std::string_view how) {
    Win32EventLoop loop;
    Journal journal;
    journal.record = record;
    Form1Window window(journal, journal, loop);
    if (!window.Create()) return 2;
    window.Load();
    const HWND start = GetDlgItem(window.Handle(), IDC_SSCOMMAND1);
    WithWindows({BoxAnswer(journal, "brb")}, [start] { Click(start); });
    Pause(loop, 1.5);
    journal.Add("exiting");
    if (how == "close") {
        SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    } else {
        const HWND label = GetDlgItem(GetDlgItem(window.Handle(), IDC_PICTURE1), IDC_LABEL3);
        SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    journal.Add("returned");
    return 3;
}

TEST(Form1WindowExitTest, ExitAndCloseSayGoodbyeAndEndTheProgramAtOnce) {
    const ScratchFolder folder;
    const std::filesystem::path record = folder.Path() / "journal.txt";
    for (const std::wstring how : {L"label", L"close"}) {
        EXPECT_EQ(RunThisProgram(WidenUtf8(kExitSwitch) + L" \"" + record.native() + L"\" " + how),
                  0);
        // No deactivated line, no time line, and nothing after the goodbye.
        EXPECT_EQ(ReadFileBytes(record),
                  "¬ Lull-Cast 2k3 ¬ tarn\n¬ loaded ¬ newbie\nclick 6\n"
                  "box Lull-Cast 2k3: What is your reason? brb\n¬ activated ¬ by.newbie\n"
                  "¬ rsn ¬ brb\nexiting\n¬ Lull-Cast 2k3 ¬ tarn\n¬ unloaded ¬ newbie\n")
            << NarrowToUtf8(how);
        std::filesystem::remove(record);
    }
}

}  // namespace
}  // namespace lullcast::testing

int main(int argc, char** argv) {
    if (argc == 4 && argv[1] == lullcast::testing::kExitSwitch) {
        return lullcast::testing::RunExitScenario(argv[2], argv[3]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
