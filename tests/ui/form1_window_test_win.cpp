// The main window on a real window system: its controls, their texts,
// places and states, and its events driven from outside through window
// messages and injected input, as a user would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
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

class RecordingClient final : public ClientOperations {
  public:
    void SendChatLine(std::string_view line) override {
        lines.push_back(PlainTextOfChatLine(line).value_or("<malformed>"));
    }
    void SendInstantMessage(std::string_view recipient, std::string_view text) override {
        instant_messages.push_back(std::string(recipient) + " " + std::string(text));
    }
    void ClickFrontChildIcon(int position) override { clicks.push_back(position); }

    std::vector<std::string> lines;
    std::vector<std::string> instant_messages;
    std::vector<int> clicks;
};

class MemoryHandleStore final : public HandleStore {
  public:
    [[nodiscard]] std::string LoadHandle() override { return stored; }
    void SaveHandle(std::string_view handle) override { stored = handle; }
    std::string stored;
};

// Runs `action` on the first visible window of a class that this thread
// shows from now on (a dialog or message box: "#32770", a popup menu:
// "#32768"), from inside that window's own modal loop. Several may wait at
// once, for windows that open one inside another.
class NextDialog {
  public:
    explicit NextDialog(std::function<void(HWND)> action, const wchar_t* class_name = L"#32770")
        : id_(++last_id) {
        waiting.push_back({id_, class_name, std::move(action)});
        timer_ = SetTimer(nullptr, 0, 20, &NextDialog::Poll);
    }
    ~NextDialog() {
        KillTimer(nullptr, timer_);
        std::erase_if(waiting, [this](const Waiting& entry) { return entry.id == id_; });
    }
    NextDialog(const NextDialog&) = delete;
    NextDialog& operator=(const NextDialog&) = delete;

  private:
    struct Waiting {
        int id;
        std::wstring_view class_name;
        std::function<void(HWND)> action;
    };
    struct Search {
        std::wstring_view class_name;
        HWND found;
    };

    static BOOL CALLBACK FindWindowOfClass(HWND window, LPARAM search_address) {
        auto* search = reinterpret_cast<Search*>(search_address);
        std::array<wchar_t, 16> class_name{};
        GetClassNameW(window, class_name.data(), static_cast<int>(class_name.size()));
        if (std::wstring_view(class_name.data()) == search->class_name && IsWindowVisible(window)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Poll(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/,
                              DWORD /*time*/) {
        for (auto entry = waiting.begin(); entry != waiting.end(); ++entry) {
            Search search{entry->class_name, nullptr};
            EnumThreadWindows(GetCurrentThreadId(), &FindWindowOfClass,
                              reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) {
                const std::function<void(HWND)> action = std::move(entry->action);
                waiting.erase(entry);
                action(search.found);
                return;
            }
        }
    }

    static inline std::vector<Waiting> waiting;
    static inline int last_id = 0;
    int id_;
    UINT_PTR timer_ = 0;
};

std::string TextOf(HWND window) {
    std::array<wchar_t, 512> text{};
    const auto length =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return NarrowToUtf8(std::wstring_view(text.data(), static_cast<std::size_t>(length)));
}

void SetText(HWND window, const std::string& text) {
    SetWindowTextW(window, WidenUtf8(text).c_str());
}

struct SeenDialog {
    std::string title;
    std::string prompt;
    std::string field;
};

// Answers an input box: records what it showed, types `answer` and presses
// OK, or presses Cancel when there is no answer.
std::function<void(HWND)> AnswerInputBox(SeenDialog& seen, std::optional<std::string> answer) {
    return [&seen, answer](HWND dialog) {
        seen = {TextOf(dialog), TextOf(GetDlgItem(dialog, IDC_INPUT_PROMPT)),
                TextOf(GetDlgItem(dialog, IDC_INPUT_TEXT))};
        if (answer) SetText(GetDlgItem(dialog, IDC_INPUT_TEXT), *answer);
        SendMessageW(dialog, WM_COMMAND, answer ? IDOK : IDCANCEL, 0);
    };
}

class Form1WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<Form1Window>(client_, store_, loop_);
        ASSERT_TRUE(window_->Create());
        loop_.SetKeyboardWindow(window_->Handle());
        window_->Load();
    }

    [[nodiscard]] HWND Main() const { return window_->Handle(); }
    [[nodiscard]] HWND Control(int id) const {
        const HWND direct = GetDlgItem(Main(), id);
        return direct != nullptr ? direct : GetDlgItem(GetDlgItem(Main(), IDC_PICTURE1), id);
    }
    // A control's place in the main window's client area.
    [[nodiscard]] RECT PlaceOf(int id) const {
        RECT bounds{};
        GetWindowRect(Control(id), &bounds);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&bounds), 2);
        return bounds;
    }
    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void RunFor(double seconds) { Pause(loop_, seconds); }

    void StartWithReason(std::optional<std::string> reason, SeenDialog& seen) {
        const NextDialog answer(AnswerInputBox(seen, std::move(reason)));
        Click(IDC_SSCOMMAND1);
    }

    // Opens the popup menu with the Menu button and, with the keyboard,
    // chooses the item `downs` steps down (separators are skipped), or closes
    // the menu with Escape when `downs` is 0.
    void ChooseFromMenu(int downs) {
        const NextDialog choose(
            [downs](HWND menu) {
                for (int step = 0; step < downs; ++step) {
                    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                }
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

TEST_F(Form1WindowTest, LaysOutTheWindowAsABorderlessTopmostPanel) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(Main(), GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(Main(), GWL_EXSTYLE));
    EXPECT_EQ(style & WS_CAPTION, 0U);
    EXPECT_EQ(style & WS_THICKFRAME, 0U);
    EXPECT_NE(ex_style & WS_EX_TOPMOST, 0U);
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(TextOf(Main()), "");

    RECT client{};
    GetClientRect(Main(), &client);
    EXPECT_EQ(client.right, 121);
    EXPECT_EQ(client.bottom, 66);

    RECT bounds{};
    GetWindowRect(Main(), &bounds);
    RECT work_area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area, 0);
    EXPECT_NEAR((bounds.left + bounds.right) / 2, (work_area.left + work_area.right) / 2, 1);
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2, (work_area.top + work_area.bottom) / 2, 1);
}

TEST_F(Form1WindowTest, ControlsCarryTheirTextsPlacesAndStates) {
    struct Expected {
        int id;
        const char* text;
        RECT place;
        bool enabled;
    };
    const std::vector<Expected> controls = {
        {IDC_PICTURE1, "", {0, 0, 121, 17}, true},
        {IDC_SSCOMMAND1, "Start", {8, 24, 41, 41}, true},
        {IDC_SSCOMMAND2, "Stop", {40, 24, 73, 41}, false},
        {IDC_SSCOMMAND3, "Menu", {72, 24, 105, 41}, true},
        {IDC_SSFRAME1, "", {0, 16, 121, 49}, true},
        {IDC_FRAME2, "", {0, 40, 121, 65}, true},
        {IDC_LABEL1, "Welcome to Lull-Cast!", {0, 48, 121, 65}, true},
    };
    for (const Expected& control : controls) {
        SCOPED_TRACE(control.id);
        ASSERT_NE(Control(control.id), nullptr);
        EXPECT_EQ(TextOf(Control(control.id)), control.text);
        const RECT place = PlaceOf(control.id);
        EXPECT_EQ(place.left, control.place.left);
        EXPECT_EQ(place.top, control.place.top);
        EXPECT_EQ(place.right, control.place.right);
        EXPECT_EQ(place.bottom, control.place.bottom);
        EXPECT_EQ(IsWindowEnabled(Control(control.id)) != FALSE, control.enabled);
    }
    // The title strip's labels start where the layout puts them.
    EXPECT_EQ(TextOf(Control(IDC_LABEL2)), "Min");
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:00");
    EXPECT_EQ(TextOf(Control(IDC_LABEL3)), "Exit");
    EXPECT_EQ(PlaceOf(IDC_LABEL2).left, 8);
    EXPECT_EQ(PlaceOf(IDC_TIMED).left, 40);
    EXPECT_EQ(PlaceOf(IDC_LABEL3).left, 96);
    EXPECT_EQ(GetParent(Control(IDC_TIMED)), Control(IDC_PICTURE1));
}

TEST_F(Form1WindowTest, StartUpAnnouncesAndSavesTheFallbackHandle) {
    EXPECT_THAT(client_.lines, ElementsAre("¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ newbie"));
    EXPECT_EQ(store_.stored, "newbie");
}

TEST_F(Form1WindowTest, StartAsksForTheReasonThenIdles) {
    SeenDialog seen;
    StartWithReason("out for lunch", seen);
    EXPECT_EQ(seen.title, "Lull-Cast 2k3");
    EXPECT_EQ(seen.prompt, "What is your reason?");
    EXPECT_EQ(seen.field, "brb");
    EXPECT_THAT(client_.clicks, ElementsAre(6));
    EXPECT_EQ(client_.lines.at(2), "¬ activated ¬ by.newbie");
    EXPECT_EQ(client_.lines.at(3), "¬ rsn ¬ out for lunch");
    EXPECT_EQ(TextOf(Control(IDC_LABEL1)), "Idling...");
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_SSCOMMAND1)));
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_SSCOMMAND2)));

    // The tick runs: two seconds later the display reads 00:00:02.
    RunFor(2.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");

    Click(IDC_SSCOMMAND2);
    EXPECT_EQ(client_.lines.at(4), "¬ deactivated ¬ by.newbie");
    EXPECT_EQ(client_.lines.at(5), "¬ hrs: [00] ¬ mins: [00] ¬ secs: [02]");
    EXPECT_EQ(TextOf(Control(IDC_LABEL1)), "Welcome to Lull-Cast!");
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_SSCOMMAND1)));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_SSCOMMAND2)));
    RunFor(1.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:02");  // the tick is off
}

TEST_F(Form1WindowTest, ACancelledReasonStillStartsTheIdlePeriod) {
    SeenDialog seen;
    StartWithReason(std::nullopt, seen);
    EXPECT_EQ(client_.lines.at(3), "¬ rsn ¬ ");
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_SSCOMMAND2)));
}

TEST_F(Form1WindowTest, ThePopupMenuHasItsItemsInOrder) {
    ChooseFromMenu(0);
    const HMENU menu = window_->Menu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> captions;
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        std::array<wchar_t, 64> caption{};
        GetMenuStringW(menu, static_cast<UINT>(item), caption.data(),
                       static_cast<int>(caption.size()), MF_BYPOSITION);
        const bool separator =
            (GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION) & MF_SEPARATOR) != 0;
        captions.push_back(separator ? "-" : NarrowToUtf8(caption.data()));
    }
    EXPECT_THAT(captions,
                ElementsAre("- &About", "- &Greetz", "- &Contacts?", "-", "- Change &Handle",
                            "- IMs On", "- IMs Off", "-", "- &Minimize", "- &Exit"));
    EXPECT_EQ(client_.lines.size(), 2U);  // closing without a choice ran nothing
}

TEST_F(Form1WindowTest, MenuCommandsReachTheirFlows) {
    ChooseFromMenu(6);  // "- IMs Off"
    ChooseFromMenu(5);  // "- IMs On"
    EXPECT_THAT(client_.instant_messages, ElementsAre("$im_off .", "$im_on ."));
    EXPECT_EQ(client_.lines.at(2), "¬ ims ¬ [off]");
    EXPECT_EQ(client_.lines.at(3), "¬ ims ¬ [on]");

    SeenDialog seen;
    {
        const NextDialog answer(AnswerInputBox(seen, "Bob"));
        ChooseFromMenu(4);  // "- Change &Handle"
    }
    EXPECT_EQ(seen.title, "Lull-Cast 2k3");
    EXPECT_EQ(seen.prompt, "What is your handle?");
    EXPECT_EQ(seen.field, "newbie");
    EXPECT_EQ(store_.stored, "Bob");
    EXPECT_EQ(client_.lines.at(4), "¬ handle ¬ changed [Bob]");

    {
        const NextDialog cancel(AnswerInputBox(seen, std::nullopt));
        ChooseFromMenu(4);
    }
    EXPECT_EQ(store_.stored, "Bob");
    EXPECT_EQ(client_.lines.size(), 5U);
}

TEST_F(Form1WindowTest, InformationBoxesShowTheirTextsUnderTheTitle) {
    for (const int downs : {1, 2, 3}) {
        std::string title;
        std::string text;
        {
            const NextDialog read([&](HWND box) {
                title = TextOf(box);
                text = TextOf(GetDlgItem(box, 0xFFFF));
                SendMessageW(box, WM_COMMAND, IDOK, 0);
            });
            ChooseFromMenu(downs);
        }
        EXPECT_EQ(title, "Lull-Cast 2k3") << downs;
        EXPECT_FALSE(text.empty()) << downs;
    }
    EXPECT_EQ(client_.lines.size(), 2U);
}

TEST_F(Form1WindowTest, MinimiseFromTheMenuKeepsTheTickRunning) {
    SeenDialog seen;
    StartWithReason("brb", seen);
    ChooseFromMenu(7);  // "- &Minimize"
    EXPECT_TRUE(IsIconic(Main()));
    RunFor(1.2);
    EXPECT_EQ(TextOf(Control(IDC_TIMED)), "00:00:01");
}

// ---- Mouse presses, as a user makes them ----

void InjectMouse(POINT screen_point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen_point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen_point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

class Form1WindowMouseTest : public Form1WindowTest {
  protected:
    void SetUp() override {
        Form1WindowTest::SetUp();
        SetForegroundWindow(Main());
        RunFor(0.1);
    }

    // A point of the main window's client area on the screen.
    [[nodiscard]] POINT OnScreen(int x, int y) const {
        POINT point{x, y};
        ClientToScreen(Main(), &point);
        return point;
    }
    [[nodiscard]] POINT WindowOrigin() const {
        RECT bounds{};
        GetWindowRect(Main(), &bounds);
        return {bounds.left, bounds.top};
    }
    // Presses the left button at `from`, moves to `to` and lets go there.
    void Drag(POINT from, POINT to) {
        InjectMouse(from, 0);
        InjectMouse(from, MOUSEEVENTF_LEFTDOWN);
        InjectMouse({(from.x + to.x) / 2, (from.y + to.y) / 2}, 0);
        InjectMouse(to, 0);
        InjectMouse(to, MOUSEEVENTF_LEFTUP);
        RunFor(0.5);
    }
};

TEST_F(Form1WindowMouseTest, PressingTheTitleStripOrTheTimeMovesTheWindow) {
    const POINT start = WindowOrigin();
    Drag(OnScreen(3, 8), OnScreen(3 + 30, 8 + 20));  // a bare part of the strip
    EXPECT_EQ(WindowOrigin().x, start.x + 30);
    EXPECT_EQ(WindowOrigin().y, start.y + 20);

    const POINT moved = WindowOrigin();
    Drag(OnScreen(50, 6), OnScreen(50 - 40, 6 + 10));  // the elapsed time
    EXPECT_EQ(WindowOrigin().x, moved.x - 40);
    EXPECT_EQ(WindowOrigin().y, moved.y + 10);
}

TEST_F(Form1WindowMouseTest, PressingElsewhereDoesNotMoveTheWindow) {
    const POINT start = WindowOrigin();
    Drag(OnScreen(60, 56), OnScreen(90, 76));  // the status line
    Drag(OnScreen(3, 30), OnScreen(33, 50));   // the buttons' panel
    Drag(OnScreen(12, 6), OnScreen(42, 26));   // "Min": a press there is no move
    EXPECT_EQ(WindowOrigin().x, start.x);
    EXPECT_EQ(WindowOrigin().y, start.y);
}

TEST_F(Form1WindowMouseTest, ClickingMinMinimisesTheWindow) {
    const POINT min = OnScreen(12, 6);
    InjectMouse(min, MOUSEEVENTF_LEFTDOWN);
    InjectMouse(min, MOUSEEVENTF_LEFTUP);
    RunFor(0.5);
    EXPECT_TRUE(IsIconic(Main()));
    EXPECT_EQ(client_.lines.size(), 2U);
}

// ---- Exit, which ends the process: run in a child process of the test ----

constexpr std::string_view kExitScenarioSwitch = "--exit-scenario";

// Writes each announced text to a file as it is sent, so the parent can read
// what the child said before it ended.
class FileRecordingClient final : public ClientOperations {
  public:
    explicit FileRecordingClient(const char* path) : file_(path, std::ios::binary) {}
    void SendChatLine(std::string_view line) override {
        Write(PlainTextOfChatLine(line).value_or("<malformed>"));
    }
    void SendInstantMessage(std::string_view recipient, std::string_view /*text*/) override {
        Write("im " + std::string(recipient));
    }
    void ClickFrontChildIcon(int position) override { Write("click " + std::to_string(position)); }
    void Write(const std::string& text) { file_ << text << '\n' << std::flush; }

  private:
    std::ofstream file_;
};

// Starts idling, then clicks "Exit" on the title strip.
int RunExitScenario(const char* record_path) {
    Win32EventLoop loop;
    FileRecordingClient client(record_path);
    MemoryHandleStore store;
    Form1Window window(client, store, loop);
    if (!window.Create()) return 2;
    window.Load();
    SeenDialog seen;
    {
        const NextDialog answer(AnswerInputBox(seen, "brb"));
        SendMessageW(GetDlgItem(window.Handle(), IDC_SSCOMMAND1), BM_CLICK, 0, 0);
    }
    Pause(loop, 1.5);
    client.Write("clicking Exit");
    const HWND exit_label = GetDlgItem(GetDlgItem(window.Handle(), IDC_PICTURE1), IDC_LABEL3);
    SendMessageW(exit_label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(exit_label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    client.Write("Exit returned");
    return 3;
}

TEST(Form1WindowExitTest, ExitSaysGoodbyeAndEndsTheProgramAtOnce) {
    std::array<wchar_t, MAX_PATH> self{};
    GetModuleFileNameW(nullptr, self.data(), MAX_PATH);
    std::array<wchar_t, MAX_PATH> temp_folder{};
    GetTempPathW(MAX_PATH, temp_folder.data());
    const std::wstring record = std::wstring(temp_folder.data()) + L"lullcast-exit-" +
                                std::to_wstring(GetCurrentProcessId()) + L".txt";
    std::wstring command_line = L"\"" + std::wstring(self.data()) + L"\" " +
                                WidenUtf8(kExitScenarioSwitch) + L" \"" + record + L"\"";
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
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(exit_code, 0U);

    std::ifstream file(record.c_str(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    file.close();
    DeleteFileW(record.c_str());
    // No deactivated line, no time line, and nothing after the goodbye.
    EXPECT_THAT(lines, ElementsAre("¬ Lull-Cast 2k3 ¬ tarn", "¬ loaded ¬ newbie", "click 6",
                                   "¬ activated ¬ by.newbie", "¬ rsn ¬ brb", "clicking Exit",
                                   "¬ Lull-Cast 2k3 ¬ tarn", "¬ unloaded ¬ newbie"));
}

}  // namespace
}  // namespace lullcast::testing

int main(int argc, char** argv) {
    if (argc == 3 && argv[1] == lullcast::testing::kExitScenarioSwitch) {
        return lullcast::testing::RunExitScenario(argv[2]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
