#include <windows.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "client/quill_aol8/user32_window_functions.h"
#include "ui/win32_event_loop.h"
#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

constexpr const char* kEventsClass = "LullCast Test Events";
constexpr UINT kRunPostedEvent = WM_APP + 1;
constexpr UINT kFirstMdiChildId = 0xFF00;

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

WindowHandle ToHandle(HWND window) {
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

// The client's MDI area is the system's MDI client class, so the test uses
// that class too instead of registering a look-alike of the same name.
bool IsMdiClient(std::string_view class_name) {
    return lstrcmpiA(std::string(class_name).c_str(), "mdiclient") == 0;
}

std::optional<ReceivedMessage> Decode(UINT message, WPARAM wparam, LPARAM lparam) {
    const auto wparam32 = static_cast<std::uint32_t>(wparam);
    switch (message) {
        case WM_SETTEXT:
            return TextSet(lparam == 0 ? "" : reinterpret_cast<const char*>(lparam));
        case WM_CHAR:
            return CharTyped(wparam32);
        case WM_LBUTTONDOWN:
            return ReceivedMessage{
                .kind = MessageKind::kLeftButtonDown, .wparam = wparam32, .text = {}};
        case WM_LBUTTONUP:
            return ReceivedMessage{
                .kind = MessageKind::kLeftButtonUp, .wparam = wparam32, .text = {}};
        case WM_KEYUP:
            return KeyReleased(wparam32);
        default:
            return std::nullopt;
    }
}

std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty()) {
        return {};
    }
    const int ansi_length = static_cast<int>(ansi.size());
    const int wide_length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansi_length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansi_length, wide.data(), wide_length);
    const int utf8_length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(utf8_length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, utf8.data(), utf8_length, nullptr,
                        nullptr);
    return utf8;
}

class ClassRegistration {
  public:
    ClassRegistration(std::string name, WNDPROC procedure) : name_(std::move(name)) {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = procedure;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = name_.c_str();
        RegisterClassA(&window_class);
    }
    ~ClassRegistration() { UnregisterClassA(name_.c_str(), GetModuleHandleA(nullptr)); }
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
    ClassRegistration(ClassRegistration&&) = delete;
    ClassRegistration& operator=(ClassRegistration&&) = delete;

  private:
    std::string name_;
};

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

template <typename Owner>
Owner* OwnerOf(HWND window, UINT message, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The program's own event loop, counting how often it is asked to run events.
class CountingEventLoop final : public EventLoop {
  public:
    [[nodiscard]] MonoTime Now() const override { return inner_.Now(); }
    void ProcessPendingEvents() override {
        ++process_count_;
        inner_.ProcessPendingEvents();
    }
    void WaitForEventOrDeadline(MonoTime deadline) override {
        inner_.WaitForEventOrDeadline(deadline);
    }
    [[nodiscard]] int ProcessCount() const { return process_count_; }

  private:
    Win32EventLoop inner_;
    int process_count_ = 0;
};

}  // namespace

struct WindowBuilder::World {
    // Declared first so that they outlive every window of their classes.
    std::map<std::string, ClassRegistration, std::less<>> classes;
    CountingEventLoop loop;
    User32WindowFunctions functions;
    std::map<WindowHandle, std::vector<ReceivedMessage>> received;  // texts as they arrived
    std::map<WindowHandle, std::function<void(const ReceivedMessage&)>> reactions;
    std::deque<std::function<void()>> posted;
    std::deque<std::function<void()>> ticks;  // timer id = index + 1
    OwnedWindow events;                       // message-only: runs posted events and timers
    std::vector<OwnedWindow> top_level;

    World() {
        Register(kEventsClass, &EventsProcedure);
        events.reset(CreateWindowExA(0, kEventsClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     GetModuleHandleA(nullptr), this));
    }

    ~World() {
        top_level.clear();
        events.reset();
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    World(World&&) = delete;
    World& operator=(World&&) = delete;

    void Register(std::string_view name, WNDPROC procedure) {
        if (!classes.contains(name)) {
            classes.try_emplace(std::string(name), std::string(name), procedure);
        }
    }

    void Record(HWND window, const ReceivedMessage& message) {
        received[ToHandle(window)].push_back(message);
        if (const auto reaction = reactions.find(ToHandle(window)); reaction != reactions.end()) {
            reaction->second(message);
        }
    }

    static LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
        if (World* const world = OwnerOf<World>(window, message, lparam); world != nullptr) {
            if (const auto decoded = Decode(message, wparam, lparam)) {
                world->Record(window, *decoded);
            }
        }
        return DefWindowProcA(window, message, wparam, lparam);
    }

    static LRESULT CALLBACK EventsProcedure(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
        World* const world = OwnerOf<World>(window, message, lparam);
        if (world != nullptr && message == kRunPostedEvent && !world->posted.empty()) {
            const std::function<void()> event = std::move(world->posted.front());
            world->posted.pop_front();
            event();
            return 0;
        }
        if (world != nullptr && message == WM_TIMER && wparam >= 1 &&
            wparam <= world->ticks.size()) {
            world->ticks[wparam - 1]();
            return 0;
        }
        return DefWindowProcA(window, message, wparam, lparam);
    }
};

WindowBuilder::WindowBuilder() : world_(std::make_unique<World>()) {}
WindowBuilder::~WindowBuilder() = default;

WindowHandle WindowBuilder::Create(std::string_view class_name, WindowHandle parent) {
    const HWND parent_window = ToHwnd(parent);
    const DWORD style = parent_window == nullptr ? WS_POPUP : WS_CHILD;
    HWND created = nullptr;
    if (IsMdiClient(class_name)) {
        CLIENTCREATESTRUCT client{.hWindowMenu = nullptr, .idFirstChild = kFirstMdiChildId};
        created = CreateWindowExA(0, "MDIClient", nullptr, style, 0, 0, 100, 100, parent_window,
                                  nullptr, GetModuleHandleA(nullptr), &client);
    } else {
        const std::string name(class_name);
        world_->Register(name, &World::ControlProcedure);
        created = CreateWindowExA(0, name.c_str(), nullptr, style, 0, 0, 100, 100, parent_window,
                                  nullptr, GetModuleHandleA(nullptr), world_.get());
    }
    if (parent_window == nullptr && created != nullptr) {
        world_->top_level.emplace_back(created);
    }
    return ToHandle(created);
}

void WindowBuilder::BringToTop(WindowHandle window) {
    SetWindowPos(ToHwnd(window), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowBuilder::Destroy(WindowHandle window) { DestroyWindow(ToHwnd(window)); }

std::vector<ReceivedMessage> WindowBuilder::Received(WindowHandle window) const {
    const auto found = world_->received.find(window);
    if (found == world_->received.end()) {
        return {};
    }
    std::vector<ReceivedMessage> messages = found->second;
    for (ReceivedMessage& message : messages) {
        message.text = AnsiToUtf8(message.text);
    }
    return messages;
}

void WindowBuilder::OnReceive(WindowHandle window,
                              std::function<void(const ReceivedMessage&)> reaction) {
    world_->reactions[window] = std::move(reaction);
}

void WindowBuilder::Post(std::function<void()> event) {
    world_->posted.push_back(std::move(event));
    PostMessageA(world_->events.get(), kRunPostedEvent, 0, 0);
}

void WindowBuilder::Every(std::chrono::milliseconds interval, std::function<void()> tick) {
    world_->ticks.push_back(std::move(tick));
    SetTimer(world_->events.get(), world_->ticks.size(), static_cast<UINT>(interval.count()),
             nullptr);
}

WindowFunctions& WindowBuilder::Windows() { return world_->functions; }
EventLoop& WindowBuilder::Loop() { return world_->loop; }
int WindowBuilder::Yields() const { return world_->loop.ProcessCount(); }

}  // namespace lullcast::quill_aol8
