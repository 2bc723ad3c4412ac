// The main window on a real window system: its layout, and every control,
// menu item and mouse press wired to its flow, driven from outside through
// window messages and injected input, as a user would. The flows themselves
// are pinned by the app tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/client_operations.h"
#include "core/pause.h"
#include "core/text_win.h"
#include "settings/handle_store.h"
#include "support/chat_line.h"
#include "ui/form1_window.h"
#include "ui/resource_ids.h"
#include "ui/win32_event_loop.h"

namespace lullcast::testing {
namespace {

using ::testing::ElementsAre;

// Every client operation as one text, in order; also into a file when given
// one, so that a parent process can read what a child said before it ended.
class RecordingClient final : public ClientOperations {
  public:
    explicit RecordingClient(const char* path = nullptr) {
        if (path != nullptr) file_.open(path, std::ios::binary);
    }
    void SendChatLine(std::string_view line) override {
        Add(PlainTextOfChatLine(line).value_or("<malformed>"));
    }
    void SendInstantMessage(std::string_view recipient, std::string_view text) override {
        Add("im " + std::string(recipient) + " " + std::string(text));
    }
    void ClickFrontChildIcon(int position) override { Add("click " + std::to_string(position)); }
    void Add(const std::string& what) {
        log.push_back(what);
        if (file_.is_open()) file_ << what << '\n' << std::flush;
    }
    std::vector<std::string> log;

  private:
    std::ofstream file_;
};

class MemoryHandleStore final : public HandleStore {
  public:
    [[nodiscard]] std::string LoadHandle() override { return stored; }
    void SaveHandle(std::string_view handle) override { stored = handle; }
    std::string stored;
};

std::string TextOf(HWND window) {
    std::array<wchar_t, 512> text{};
    const auto length =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return NarrowToUtf8(std::wstring_view(text.data(), static_cast<std::size_t>(length)));
}

// Runs `action` on the first visible window of the class ("#32770": a dialog
// or message box, "#32768": a popup menu) that this thread shows from now on,
// from inside that window's own modal loop. Several may wait at once, for
// windows that open one inside another.
class NextWindow {
  public:
    explicit NextWindow(std::function<void(HWND)> action, const wchar_t* class_name = L"#32770")
        : id_(++last_id) {
        waiting.push_back({id_, class_name, std::move(action)});
        timer_ = SetTimer(nullptr, 0, 20, &NextWindow::Poll);
    }
    ~NextWindow() {
        KillTimer(nullptr, timer_);
        std::erase_if(waiting, [this](const Waiting& entry) { return entry.id == id_; });
    }
    NextWindow(const NextWindow&) = delete;
    NextWindow& operator=(const NextWindow&) = delete;

  private:
    struct Waiting {
        int id;
        std::wstring_view class_name;
        std::function<void(HWND)> action;
        HWND found = nullptr;
    };
    static BOOL CALLBACK Match(HWND window, LPARAM entry_address) {
        auto& entry = *reinterpret_cast<Waiting*>(entry_address);
        std::array<wchar_t, 16> class_name{};
        GetClassNameW(window, class_name.data(), static_cast<int>(class_name.size()));
        if (std::wstring_view(class_name.data()) != entry.class_name || !IsWindowVisible(window)) {
            return TRUE;
        }
        entry.found = window;
        return FALSE;
    }
    static void CALLBACK Poll(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/,
                              DWORD /*time*/) {
        for (auto entry = waiting.begin(); entry != waiting.end(); ++entry) {
            EnumThreadWindows(GetCurrentThreadId(), &Match, reinterpret_cast<LPARAM>(&*entry));
            if (entry->found != nullptr) {
                const std::function<void(HWND)> action = std::move(entry->action);
                const HWND found = entry->found;
                waiting.erase(entry);
                action(found);
                return;
            }
        }
    }

    static inline std::vector<Waiting> waiting;
    static inline int last_id = 0;
    int id_;
    UINT_PTR timer_ = 0;
};

// Answers an input box: records its title, prompt and field, types `answer`
// and presses OK, or presses Cancel when there is no answer.
std::function<void(HWND)> AnswerInputBox(std::vector<std::string>& seen,
                                         std::optional<std::string> answer) {
    return [&seen, answer](HWND box) {
        seen = {TextOf(box), TextOf(GetDlgItem(box, IDC_INPUT_PROMPT)),
                TextOf(GetDlgItem(box, IDC_INPUT_TEXT))};
        if (answer) SetWindowTextW(GetDlgItem(box, IDC_INPUT_TEXT), WidenUtf8(*answer).c_str());
        SendMessageW(box, WM_COMMAND, answer ? IDOK : IDCANCEL, 0);
    };
}

void InjectMouse(POINT screen_point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen_point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen_point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

class Form1WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<Form1Window>(client_, store_, loop_);
        ASSERT_TRUE(window_->Create());
        loop_.SetKeyboardWindow(Main());
        window_->Load();
    }

    [[nodiscard]] HWND Main() const { return window_->Handle(); }
    [[nodiscard]] HWND Control(int id) const {
        const HWND direct = GetDlgItem(Main(), id);
        return direct != nullptr ? direct : GetDlgItem(GetDlgItem(Main(), IDC_PICTURE1), id);
    }
    [[nodiscard]] RECT PlaceOf(int id) const {
        RECT bounds{};
        GetWindowRect(Control(id), &bounds);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&bounds), 2);
        return bounds;
    }
    [[nodiscard]] bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    [[nodiscard]] POINT Origin() const {
        RECT bounds{};
        GetWindowRect(Main(), &bounds);
        return {bounds.left, bounds.top};
    }
    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void RunFor(double seconds) { Pause(loop_, seconds); }

    // Opens the popup menu with the Menu button and chooses the item `downs`
    // steps down by keyboard, or closes it with Escape when `downs` is 0.
    void ChooseFromMenu(int downs) {
        const NextWindow choose(
            [downs](HWND menu) {
                for (int step = 0; step < downs; ++step) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                PostMessageW(menu, WM_KEYDOWN, downs > 0 ? VK_RETURN : VK_ESCAPE, 0);
            },
            L"#32768");
        Click(IDC_SSCOMMAND3);
    }

    Win32EventLoop loop_;
    RecordingClient client_;
    MemoryHandleStore store_;
    std::unique_ptr<Form1Window> window_;
};

TEST_F(Form1WindowTest, LaysOutABorderlessTopmostPanelCentredOnTheWorkArea) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(Main(), GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0U);
    EXPECT_NE(GetWindowLongPtrW(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT client{};
    GetClientRect(Main(), &client);
    EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(121L, 66L));
    RECT bounds{};
    GetWindowRect(Main(), &bounds);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(bounds.left + bounds.right, work.left + work.right, 2);
    EXPECT_NEAR(bounds.top + bounds.bottom, work.top + work.bottom, 2);

    const struct {
        int id;
        const char* text;
        RECT place;  // a right or bottom of 0: not checked
        bool enabled;
    } controls[] = {
        {IDC_PICTURE1, "", {0, 0, 121, 17}, true},
        {IDC_LABEL2, "Min", {8, 0, 0, 0}, true},
        {IDC_TIMED, "00:00:00", {40, 0, 0, 0}, true},
        {IDC_LABEL3, "Exit", {96, 0, 0, 0}, true},
        {IDC_SSCOMMAND1, "Start", {8, 24, 41, 41}, true},
        {IDC_SSCOMMAND2, "Stop", {40, 24, 73, 41}, false},
        {IDC_SSCOMMAND3, "Menu", {72, 24, 105, 41}, true},
        {IDC_SSFRAME1, "", {0, 16, 121, 49}, true},
        {IDC_FRAME2, "", {0, 40, 121, 65}, true},
        {IDC_LABEL1, "Welcome to Lull-Cast!", {0, 48, 121, 65}, true},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(Control(c.id), nullptr);
        EXPECT_EQ(TextOf(Control(c.id)), c.text);
        const RECT place = PlaceOf(c.id);
        EXPECT_EQ(place.left, c.place.left);
        EXPECT_EQ(place.top, c.place.top);
        if (c.place.right != 0) {
            EXPECT_EQ(place.right, c.place.right);
        }
        if (c.place.bottom != 0) {
            EXPECT_EQ(place.bottom, c.place.bottom);
        }
        EXPECT_EQ(Enabled(c.id), c.enabled);
    }
}

TEST_F(Form1WindowTest, StartAndStopRunTheirFlowsAndTheTick) {
    std::vector<std::string> seen;
    {
        const NextWindow answer(AnswerInputBox(seen, "out for lunch"));
        Click(IDC_SSCOMMAND1);
    }
    EXPECT_THAT(seen, ElementsAre("Lull-Cast 2k3", "What is your reason?", "brb"));
    EXPECT_EQ(TextOf(Control(IDC_LABEL1)), "Idling...");
    EXPECT_FALSE(Enabled(IDC_SSCOMMAND1));
    EXPECT_TRUE(Enabled(IDC_SSCOMMAND2));
    RunFor(2.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");

    Click(IDC_SSCOMMAND2);
    EXPECT_TRUE(Enabled(IDC_SSCOMMAND1));
    EXPECT_FALSE(Enabled(IDC_SSCOMMAND2));
    RunFor(1.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");  // the tick is off
    EXPECT_THAT(client_.log,
                ElementsAre("¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ newbie", "click 6",
                            "¬ activated ¬ by.newbie", "¬ rsn ¬ out for lunch",
                            "¬ deactivated ¬ by.newbie", "¬ hrs: [00] ¬ mins: [00] ¬ secs: [02]"));
}

TEST_F(Form1WindowTest, ThePopupMenusItemsReachTheirFlows) {
    ChooseFromMenu(0);  // closed without a choice: nothing runs
    std::vector<std::string> captions;
    const HMENU menu = window_->Menu();
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        std::array<wchar_t, 64> caption{};
        GetMenuStringW(menu, static_cast<UINT>(item), caption.data(),
                       static_cast<int>(caption.size()), MF_BYPOSITION);
        captions.push_back(NarrowToUtf8(caption.data()));
    }
    EXPECT_THAT(captions,
                ElementsAre("- &About", "- &Greetz", "- &Contacts?", "", "- Change &Handle",
                            "- IMs On", "- IMs Off", "", "- &Minimize", "- &Exit"));

    std::vector<std::string> titles;
    for (const int downs : {1, 2, 3}) {  // the information boxes
        const NextWindow read([&](HWND box) {
            titles.push_back(TextOf(box) +
                             (TextOf(GetDlgItem(box, 0xFFFF)).empty() ? "" : ": text"));
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        });
        ChooseFromMenu(downs);
    }
    EXPECT_THAT(titles,
                ElementsAre("Lull-Cast 2k3: text", "Lull-Cast 2k3: text", "Lull-Cast 2k3: text"));
    ChooseFromMenu(6);
    ChooseFromMenu(5);
    std::vector<std::string> seen;
    {
        const NextWindow answer(AnswerInputBox(seen, "Bob"));
        ChooseFromMenu(4);
    }
    EXPECT_THAT(seen, ElementsAre("Lull-Cast 2k3", "What is your handle?", "newbie"));
    EXPECT_EQ(store_.stored, "Bob");
    EXPECT_THAT(client_.log, ElementsAre("¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ newbie",
                                         "¬ ims ¬ [off]", "im $im_off .", "¬ ims ¬ [on]",
                                         "im $im_on .", "¬ handle ¬ changed [Bob]"));
    ChooseFromMenu(7);
    EXPECT_TRUE(IsIconic(Main()));
}

TEST_F(Form1WindowTest, PressesOnTheStripOrTheTimeMoveTheWindowAndMinMinimises) {
    SetForegroundWindow(Main());
    RunFor(0.1);
    const struct {
        POINT from;
        POINT by;
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
        InjectMouse(to, 0);
        InjectMouse(to, MOUSEEVENTF_LEFTUP);
        RunFor(0.5);
        EXPECT_EQ(Origin().x - before.x, drag.moves ? drag.by.x : 0) << drag.from.x;
        EXPECT_EQ(Origin().y - before.y, drag.moves ? drag.by.y : 0) << drag.from.x;
    }
    POINT min{12, 6};
    ClientToScreen(Main(), &min);
    InjectMouse(min, MOUSEEVENTF_LEFTDOWN);
    InjectMouse(min, MOUSEEVENTF_LEFTUP);
    RunFor(0.5);
    EXPECT_TRUE(IsIconic(Main()));
    EXPECT_EQ(client_.log.size(), 2U);
}

// ---- Exit ends the process, so it runs in a child process of the test ----

constexpr std::string_view kExitSwitch = "--exit-scenario";

// Starts idling, then ends the program with "Exit" on the title strip or, as
// the taskbar does, with WM_CLOSE.
int RunExitScenario(const char* record_path, std::string_view how) {
    Win32EventLoop loop;
    RecordingClient client(record_path);
    MemoryHandleStore store;
    Form1Window window(client, store, loop);
    if (!window.Create()) return 2;
    window.Load();
    std::vector<std::string> seen;
    {
        const NextWindow answer(AnswerInputBox(seen, "brb"));
        SendMessageW(GetDlgItem(window.Handle(), IDC_SSCOMMAND1), BM_CLICK, 0, 0);
    }
    Pause(loop, 1.5);
    client.Add("exiting");
    if (how == "close") {
        SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    } else {
        const HWND label = GetDlgItem(GetDlgItem(window.Handle(), IDC_PICTURE1), IDC_LABEL3);
        SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    client.Add("returned");
    return 3;
}

TEST(Form1WindowExitTest, ExitAndCloseSayGoodbyeAndEndTheProgramAtOnce) {
    std::array<wchar_t, MAX_PATH> self{};
    GetModuleFileNameW(nullptr, self.data(), MAX_PATH);
    std::array<wchar_t, MAX_PATH> temp{};
    GetTempPathW(MAX_PATH, temp.data());
    for (const std::wstring how : {L"label", L"close"}) {
        const std::wstring record = std::wstring(temp.data()) + L"lullcast-exit-" +
                                    std::to_wstring(GetCurrentProcessId()) + how + L".txt";
        std::wstring command_line = L"\"" + std::wstring(self.data()) + L"\" " +
                                    WidenUtf8(kExitSwitch) + L" \"" + record + L"\" " + how;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(CreateProcessW(self.data(), command_line.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &child));
        const DWORD waited = WaitForSingleObject(child.hProcess, 30'000);
        DWORD exit_code = 99;
        GetExitCodeProcess(child.hProcess, &exit_code);
        if (waited != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 1);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        EXPECT_EQ(exit_code, 0U);

        std::ifstream file(record.c_str(), std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        file.close();
        DeleteFileW(record.c_str());
        // No deactivated line, no time line, and nothing after the goodbye.
        EXPECT_THAT(lines, ElementsAre("¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ newbie", "click 6",
                                       "¬ activated ¬ by.newbie", "¬ rsn ¬ brb", "exiting",
                                       "¬ Lull-Cast 2k3 ¬ tarn", "¬ unloaded ¬ newbie"))
            << NarrowToUtf8(how);
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
