#include "e2e/session_win.h"

#include <array>
#include <charconv>
#include <thread>

#include "core/text_win.h"
#include "fade/chat_markup.h"

namespace lullcast::e2e {
namespace {

std::filesystem::path ProgramsFolder() {
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return std::filesystem::path(name).parent_path() / "e2e-programs";
}

std::optional<ChildProcess> StartProcess(const std::filesystem::path& program,
                                         const std::vector<std::wstring>& arguments,
                                         const std::filesystem::path& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // The tests' arguments hold no quote mark and end in no backslash.
    std::wstring command_line = L"\"" + program.native() + L"\"";
    for (const std::wstring& argument : arguments) command_line += L" \"" + argument + L"\"";
    PROCESS_INFORMATION started{};
    // Suspended until it is in the job, so that nothing it starts escapes.
    if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                       CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &started) == FALSE) {
        return std::nullopt;
    }
    ChildProcess child{Handle(CreateJobObjectW(nullptr, nullptr)), Handle(started.hProcess),
                       started.dwProcessId};
    const Handle thread(started.hThread);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(child.job.get(), JobObjectExtendedLimitInformation, &limits,
                            sizeof limits);
    AssignProcessToJobObject(child.job.get(), child.process.get());
    ResumeThread(thread.get());
    return child;
}

void SendMouse(POINT at, std::initializer_list<DWORD> flags) {
    std::vector<INPUT> inputs;
    for (const DWORD flag : flags) inputs.push_back(testing::MouseInputAt(at, flag));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

HWND WaitForWindow(DWORD process_id, const wchar_t* class_name, std::chrono::milliseconds timeout,
                   const wchar_t* title, HWND besides) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window = nullptr;
                 (window = FindWindowExW(nullptr, window, class_name, title)) != nullptr;) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == process_id && window != besides && IsWindowVisible(window) != FALSE) {
                    found = window;
                }
            }
            return found != nullptr;
        },
        timeout);
    return found;
}

void MovePointerNearCorner(int offset) {
    SendMouse({GetSystemMetrics(SM_CXSCREEN) - offset, GetSystemMetrics(SM_CYSCREEN) - offset},
              {0});
}

void TypeKeys(std::string_view ascii, std::chrono::milliseconds pace) {
    for (const char character : ascii) {
        PressKey(static_cast<BYTE>(VkKeyScanA(character) & 0xFF));
        std::this_thread::sleep_for(pace);
    }
}

void ClickOn(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SendMouse({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2},
              {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

bool ClickUntilInFront(HWND window) {
    const HWND root = GetAncestor(window, GA_ROOT);
    for (int click = 0; click < 5; ++click) {
        ClickOn(window);
        if (WaitUntil([root] { return GetForegroundWindow() == root; }, 1s)) return true;
    }
    return false;
}

std::string BytesOfHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
        unsigned value = 0;
        std::from_chars(hex.data() + at, hex.data() + at + 2, value, 16);
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::string LogEvent::Field(const std::string& key) const {
    // The shown text, at the end, may hold anything.
    const std::string fields = " " + rest.substr(0, (" " + rest).find(" shown=")) + " ";
    const std::size_t at = fields.find(" " + key + "=");
    if (at == std::string::npos) return "";
    const std::size_t from = at + key.size() + 2;
    return fields.substr(from, fields.find(' ', from) - from);
}

HWND EndToEndTest::RoomInput() const {
    const HWND frame = WaitForWindow(client_->id, L"AOL Frame25", 0s);
    const HWND area = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
    return FindWindowExW(FindWindowExW(area, nullptr, L"AOL Child", nullptr), nullptr, L"RICHCNTL",
                         nullptr);
}

bool EndToEndTest::AnswerInputBox(int button, const std::optional<std::string>& typed) const {
    const HWND box = Dialog();
    if (box == nullptr) return false;
    // Sent, so that the text is in place before the button's click.
    if (typed) SetDlgItemTextW(box, IDC_INPUT_TEXT, WidenUtf8(*typed).c_str());
    return Press(box, button);
}

::testing::AssertionResult EndToEndTest::ChooseMenuItem(MenuItem item) const {
    // The menu opens in front: the status line, where a press does nothing
    // else, is clicked until Lull-Cast is there.
    if (GetForegroundWindow() != window_) ClickUntilInFront(Control(IDC_LABEL1));
    // A real click, unlike a posted one, cannot overtake input still queued.
    ClickOn(Control(IDC_SSCOMMAND3));
    const HWND menu = WaitForWindow(lullcast_->id, L"#32768", kFlowTimeout);
    if (menu == nullptr) return ::testing::AssertionFailure() << "the menu did not open";
    // The pointer goes off the menu, which opens under it, and the keys go to
    // the menu's own queue: typed keys reach the menu only once its loop holds
    // the keyboard, which a loaded machine may delay past the first presses.
    // Posted, they wait there for the loop and come before any pointer move.
    MovePointerNearCorner(1);
    for (int key = 0; key <= item; ++key) {
        PostMessageW(menu, WM_KEYDOWN, key < item ? VK_DOWN : VK_RETURN, 0);
    }
    return Closes(menu) ? ::testing::AssertionSuccess()
                        : ::testing::AssertionFailure() << "the menu did not close";
}

::testing::AssertionResult EndToEndTest::StartClient(std::vector<std::wstring> options) {
    options.insert(options.begin(), {L"--log", File("standin.log").native()});
    client_ = StartProcess(ProgramsFolder() / "standin-client.exe", options, scratch_.Path());
    if (!client_) return ::testing::AssertionFailure() << "the client did not start";
    return WaitForEvents("ready", 1, 15s);
}

::testing::AssertionResult EndToEndTest::StartLullCast() {
    // A copy, beside the test's own info.ini.
    CopyFileW((ProgramsFolder() / "lullcast.exe").c_str(), File("lullcast.exe").c_str(), FALSE);
    lullcast_ = StartAnotherLullCast();
    window_ = lullcast_ ? WaitForWindow(lullcast_->id, L"LullCastForm1", 15s) : nullptr;
    if (window_ == nullptr) {
        return ::testing::AssertionFailure() << "Lull-Cast's window did not show";
    }
    return ::testing::AssertionSuccess();
}

std::optional<ChildProcess> EndToEndTest::StartAnotherLullCast() const {
    return StartProcess(File("lullcast.exe"), {}, scratch_.Path());
}

std::vector<LogEvent> EndToEndTest::Events(const std::string& kind) const {
    const std::string log = testing::ReadFileBytes(File("standin.log")).value_or("");
    std::vector<LogEvent> events;
    // A last line without its line end is still being written.
    for (std::size_t at = 0, end = 0; (end = log.find('\n', at)) != std::string::npos;
         at = end + 1) {
        const std::string line = log.substr(at, end - at);
        const std::string rest = line.substr(line.find(' ') + 1);
        const std::size_t rest_at = rest.find(' ');
        LogEvent event{std::stoll(line), rest.substr(0, rest_at),
                       rest_at == std::string::npos ? "" : rest.substr(rest_at + 1)};
        if (kind.empty() || event.kind == kind) events.push_back(std::move(event));
    }
    return events;
}

std::vector<std::string> EndToEndTest::Story() const {
    std::vector<std::string> story;
    for (const LogEvent& event : Events()) {
        const std::string window = event.Field("window");
        if (event.kind == "line") {
            const std::string line = BytesOfHex(event.Field("hex"));
            story.push_back(NarrowToUtf8(WidenAnsi(ShownText(ParseChatLine(line)))));
        } else if (event.kind == "click") {
            story.push_back("click " + (window.starts_with("im") ? "im-window" : window) + " " +
                            event.Field("icon"));
        } else if (event.kind == "im") {
            story.push_back("im " + BytesOfHex(event.Field("to")) + ": " +
                            BytesOfHex(event.Field("text")));
        } else if (event.kind == "ims") {
            story.push_back("ims " + event.rest);
        }
    }
    return story;
}

}  // namespace lullcast::e2e
