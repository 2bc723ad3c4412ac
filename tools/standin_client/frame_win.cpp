#include "frame_win.h"

#include <algorithm>

#include "event_log_win.h"
#include "gdi_win.h"
#include "log_text.h"

namespace lullcast::standin {
namespace {

// Timers of --say's lines, one each, above those of the IM windows' delays.
constexpr UINT_PTR kFirstSayTimerId = 0x10000;

// Text in the code page, as other people's lines reach the room; a character
// it lacks becomes "?".
std::string AnsiBytes(const std::wstring& text) {
    const int wide_length = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wide_length, bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

// Asks the frame to let go of the objects of document windows that have gone.
// Posted, so that no object is deleted while its own window is still being
// torn down.
constexpr UINT kReapDocuments = WM_APP + 1;

// The frame takes the top left of the screen. Lull-Cast opens in the middle
// of the screen (about 451,351 to 572,417 on 1024x768), so at this size a
// screenshot of the whole screen shows both without one hiding the other.
constexpr RECT kFrameBounds{0, 0, 440, 344};
constexpr int kToolbarHeight = 34;
constexpr SIZE kToolbarIconSize{26, 22};
constexpr int kToolbarMargin = 6;
// The toolbar icon that opens an instant-message window.
constexpr int kOpenImIconPosition = 5;
constexpr UINT kFirstMdiChildId = 0xFF00;
constexpr int kCascadeStep = 18;
constexpr SIZE kMinDocumentSize{260, 200};
constexpr SIZE kImWindowSize{300, 210};
// The IM window open from the start is there, whole, when the scenario is.
constexpr int kBuiltAtOnce = 0;

constexpr COLORREF kToolbarColour = RGB(30, 54, 112);

}  // namespace

// ---- ToolbarStrip

ToolbarStrip::ToolbarStrip(EventLog& log, std::function<void()> open_im_window)
    : open_im_window_(std::move(open_im_window)), icons_(log, "toolbar", [this](int position) {
          if (position == kOpenImIconPosition) {
              open_im_window_();
          }
      }) {}

bool ToolbarStrip::Create(HWND host, int icons) {
    const auto label = [](int position) {
        return position == kOpenImIconPosition ? std::string("IM") : std::to_string(position);
    };
    return RegisterClassOnce(client_class::kToolbarStrip, Kind::kPlain, nullptr) &&
           AnsiWindow::Create(client_class::kToolbarStrip, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, RECT{}, host) != nullptr &&
           icons_.Create(Handle(), icons, kToolbarIconSize, label);
}

LRESULT ToolbarStrip::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            icons_.LayOut(RECT{0, 0, LOWORD(lparam), HIWORD(lparam)});
            return 0;
        default:
            return PaintedWindow::HandleMessage(message, wparam, lparam);
    }
}

LRESULT ToolbarStrip::OnPaint() {
    const BufferedPaint paint(Handle());
    FillSolid(paint.Dc(), paint.Bounds(), kToolbarColour);
    return 0;
}

// ---- ToolbarHost

bool ToolbarHost::Create(HWND frame, int icons) {
    return RegisterClassOnce(client_class::kToolbarHost, Kind::kPlain, nullptr) &&
           AnsiWindow::Create(client_class::kToolbarHost, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, RECT{}, frame) != nullptr &&
           strip_.Create(Handle(), icons);
}

int ToolbarHost::Height() { return kToolbarHeight; }

LRESULT ToolbarHost::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            return OnSize(lparam);
        default:
            return PaintedWindow::HandleMessage(message, wparam, lparam);
    }
}

LRESULT ToolbarHost::OnSize(LPARAM lparam) {
    const int width = LOWORD(lparam);
    const int top = (kToolbarHeight - kToolbarIconSize.cy) / 2;
    Place(strip_.Handle(),
          RECT{kToolbarMargin, top, width - kToolbarMargin, top + kToolbarIconSize.cy});
    return 0;
}

LRESULT ToolbarHost::OnPaint() {
    const BufferedPaint paint(Handle());
    FillSolid(paint.Dc(), paint.Bounds(), kToolbarColour);
    return 0;
}

// ---- ClientFrame

bool ClientFrame::Create() {
    if (!RegisterClassOnce(client_class::kFrame, Kind::kPlain,
                           GetSysColorBrush(COLOR_APPWORKSPACE)) ||
        AnsiWindow::Create(client_class::kFrame, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           kFrameBounds, nullptr) == nullptr) {
        return false;
    }
    if (options_.toolbar) {
        toolbar_ = std::make_unique<ToolbarHost>(log_, [this] { RequestImWindow(); });
        if (!toolbar_->Create(Handle(), options_.toolbar_icons)) {
            return false;
        }
    }
    if (!CreateMdiClient()) {
        return false;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    OnSize(MAKELPARAM(client.right, client.bottom));
    UpdateCaption();
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    return CreateScenarioDocuments();
}

// The MDI area is the system's own MDICLIENT class, as in the client itself,
// and not a class of ours named "MDIClient". Class names match without regard
// to case, and a class that a program registers is found before the system's
// class of the same name: registering one would hide the system's MDI client
// from this whole program (Wine's FindWindowEx finds such a window all the
// same). The system's class brings the real behaviour that programs driving
// the client meet: an activated document window goes in front of the others.
bool ClientFrame::CreateMdiClient() {
    CLIENTCREATESTRUCT client{.hWindowMenu = nullptr, .idFirstChild = kFirstMdiChildId};
    mdi_client_ = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                  0, 0, Handle(), nullptr, GetModuleHandleA(nullptr), &client);
    return mdi_client_ != nullptr;
}

// Made from the back to the front, each new one in front of those before:
// the open IM window at the back, then the rooms (room 1 in front of them),
// then the plain documents (document 1 in front of all).
bool ClientFrame::CreateScenarioDocuments() {
    const int count = (options_.im_open ? 1 : 0) + options_.rooms + options_.front_docs;
    int index = 0;
    if (options_.im_open) {
        ++im_windows_opened_;
        if (!AddDocument(std::make_unique<ImWindow>(AsHost(), im_windows_opened_, options_.icons,
                                                    kBuiltAtOnce),
                         CascadeBounds(index++, count))) {
            return false;
        }
    }
    for (int room = options_.rooms; room >= 1; --room) {
        auto chat_room = std::make_unique<ChatRoom>(AsHost(), room, options_.icons, hang_,
                                                    options_.keep_lines, options_.plain_transcript);
        ChatRoom* const made = chat_room.get();
        if (!AddDocument(std::move(chat_room), CascadeBounds(index++, count))) {
            return false;
        }
        room1_ = room == 1 ? made : room1_;
    }
    if (room1_ != nullptr) {
        room1_->Fill(options_.fill_lines);
    }
    for (std::size_t said = 0; said < options_.said.size(); ++said) {
        SetTimer(Handle(), kFirstSayTimerId + said,
                 static_cast<UINT>(std::max(options_.said[said].ms, USER_TIMER_MINIMUM)), nullptr);
    }
    for (int document = options_.front_docs; document >= 1; --document) {
        if (!AddDocument(std::make_unique<PlainDocument>(AsHost(), document, options_.icons),
                         CascadeBounds(index++, count))) {
            return false;
        }
    }
    return true;
}

bool ClientFrame::AddDocument(std::unique_ptr<DocumentWindow> document, RECT bounds) {
    documents_.push_back(std::move(document));
    return documents_.back()->Create(mdi_client_, bounds);
}

// Cascaded from the top left, all of one size, the front one furthest in.
RECT ClientFrame::CascadeBounds(int index, int count) const {
    RECT area{};
    GetClientRect(mdi_client_, &area);
    const int spread = kCascadeStep * std::max(0, count - 1);
    const int width = std::max<int>(kMinDocumentSize.cx, area.right - spread);
    const int height = std::max<int>(kMinDocumentSize.cy, area.bottom - spread);
    const int offset = kCascadeStep * index;
    return RECT{offset, offset, offset + width, offset + height};
}

LRESULT ClientFrame::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            return OnSize(lparam);
        case WM_TIMER:
            return OnTimer(wparam);
        case kReapDocuments:
            return OnReapDocuments();
        case WM_DESTROY:
            return OnDestroy();
        default:
            return CallDefault(message, wparam, lparam);
    }
}

LRESULT ClientFrame::CallDefault(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefFrameProcA(Handle(), mdi_client_, message, wparam, lparam);
}

// Not passed on: the default handling would stretch the MDI area over the
// toolbar.
LRESULT ClientFrame::OnSize(LPARAM lparam) {
    const int width = LOWORD(lparam);
    const int height = HIWORD(lparam);
    const int toolbar_height = toolbar_ ? ToolbarHost::Height() : 0;
    if (toolbar_) {
        Place(toolbar_->Handle(), RECT{0, 0, width, toolbar_height});
    }
    Place(mdi_client_, RECT{0, toolbar_height, width, height});
    return 0;
}

void ClientFrame::SayLine(std::size_t index) {
    const SaidLine& said = options_.said[index];
    if (room1_ != nullptr && room1_->Handle() != nullptr) {
        room1_->Say(AnsiBytes(said.name), AnsiBytes(said.text));
    }
}

LRESULT ClientFrame::OnTimer(WPARAM timer_id) {
    if (timer_id >= kFirstSayTimerId && timer_id - kFirstSayTimerId < options_.said.size()) {
        KillTimer(Handle(), timer_id);
        SayLine(timer_id - kFirstSayTimerId);
        return 0;
    }
    const auto pending = pending_im_timers_.find(timer_id);
    if (pending == pending_im_timers_.end()) {
        return CallDefault(WM_TIMER, timer_id, 0);
    }
    KillTimer(Handle(), timer_id);
    pending_im_timers_.erase(pending);
    OpenImWindow();
    return 0;
}

LRESULT ClientFrame::OnReapDocuments() {
    std::erase_if(documents_, [](const std::unique_ptr<DocumentWindow>& document) {
        return document->Handle() == nullptr;
    });
    return 0;
}

LRESULT ClientFrame::OnDestroy() {
    for (const UINT_PTR timer_id : pending_im_timers_) {
        KillTimer(Handle(), timer_id);
    }
    pending_im_timers_.clear();
    PostQuitMessage(0);
    return 0;
}

// Every press asks for a window of its own, each after the full delay.
void ClientFrame::RequestImWindow() {
    if (options_.im_delay_ms == 0) {
        OpenImWindow();
        return;
    }
    const UINT_PTR timer_id = next_timer_id_++;
    if (SetTimer(Handle(), timer_id, static_cast<UINT>(options_.im_delay_ms), nullptr) != 0) {
        pending_im_timers_.insert(timer_id);
    }
}

void ClientFrame::OpenImWindow() {
    ++im_windows_opened_;
    RECT area{};
    GetClientRect(mdi_client_, &area);
    const int offset = kCascadeStep * ((im_windows_opened_ - 1) % 4);
    const int left = std::max(0, std::min<int>(24 + offset, area.right - kImWindowSize.cx));
    const int top = std::max(0, std::min<int>(12 + offset, area.bottom - kImWindowSize.cy));
    auto window = std::make_unique<ImWindow>(AsHost(), im_windows_opened_, options_.icons,
                                             options_.im_build_ms);
    const std::string name = window->Name();
    if (AddDocument(std::move(window),
                    RECT{left, top, left + kImWindowSize.cx, top + kImWindowSize.cy})) {
        log_.Write("im-window-open window=" + name);
    }
}

void ClientFrame::InstantMessageSent(std::string_view window_name, std::string_view recipient,
                                     std::string_view text) {
    log_.Write("im window=" + std::string(window_name) + " to=" + HexBytes(recipient) +
               " text=" + HexBytes(text) + " shown=" + EscapedForReading(recipient) + ": " +
               EscapedForReading(text));
    switch (ImCommandFor(recipient)) {
        case ImCommand::kImsOff:
            SetImAcceptance(false);
            break;
        case ImCommand::kImsOn:
            SetImAcceptance(true);
            break;
        case ImCommand::kNone:
            break;
    }
}

void ClientFrame::SetImAcceptance(bool accepting) {
    accepting_ims_ = accepting;
    log_.Write(accepting ? "ims on" : "ims off");
    UpdateCaption();
}

void ClientFrame::UpdateCaption() {
    const std::wstring title = options_.title.empty() ? L"Stand-in chat client" : options_.title;
    const std::wstring caption = title + (accepting_ims_ ? L" - IMs on" : L" - IMs off");
    SetWindowTextW(Handle(), caption.c_str());
}

void ClientFrame::DocumentClosed() { PostMessageA(Handle(), kReapDocuments, 0, 0); }

}  // namespace lullcast::standin
