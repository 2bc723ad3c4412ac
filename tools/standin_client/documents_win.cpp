#include "documents_win.h"

#include <algorithm>
#include <utility>

#include "event_log_win.h"
#include "fade/chat_markup.h"
#include "log_text.h"

namespace lullcast::standin {
namespace {

constexpr int kMargin = 6;
constexpr int kGap = 4;
constexpr int kLabelHeight = 18;
constexpr int kFieldHeight = 24;
constexpr int kPictureSize = 32;
constexpr SIZE kDocumentIconSize{22, 18};
// The icon that sends an instant message.
constexpr int kSendIconPosition = 12;
constexpr UINT_PTR kCloseTimerId = 1;
constexpr UINT kCloseAfterUnendedPressMs = 500;
constexpr UINT_PTR kBuildTimerId = 2;
// An IM window's children before its icons: label, recipient and text.
constexpr int kImFieldChildren = 3;

std::string NumberLabel(int position) { return std::to_string(position); }

std::string ImIconLabel(int position) {
    return position == kSendIconPosition ? std::string("Go") : NumberLabel(position);
}

// The icons' rectangle at the bottom of a window, and the height they take.
RECT IconArea(const IconRow& icons, int width, int height) {
    const int icons_height = icons.HeightFor(width - 2 * kMargin);
    return RECT{kMargin, height - kMargin - icons_height, width - kMargin, height - kMargin};
}

// Where the content above the icons ends.
int ContentBottom(RECT icon_area) {
    return icon_area.top == icon_area.bottom ? icon_area.bottom : icon_area.top - kGap;
}

}  // namespace

// ---- DocumentWindow

bool DocumentWindow::Create(HWND mdi_client, RECT bounds) {
    if (!RegisterClassOnce(client_class::kChild, Kind::kMdiChild,
                           GetSysColorBrush(COLOR_BTNFACE))) {
        return false;
    }
    if (CreateMdiChild(mdi_client, client_class::kChild, title_.c_str(), bounds) == nullptr ||
        !CreateChildren()) {
        return false;
    }
    LayOutNow();
    BringToFront();
    return true;
}

void DocumentWindow::LayOutNow() {
    RECT client{};
    GetClientRect(Handle(), &client);
    LayOut(client.right, client.bottom);
}

LRESULT DocumentWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            return OnSize(wparam, lparam);
        case WM_MDIACTIVATE:
            return OnMdiActivate(wparam, lparam);
        case WM_DESTROY:
            return OnDestroy();
        default:
            return CallDefault(message, wparam, lparam);
    }
}

LRESULT DocumentWindow::CallDefault(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefMDIChildProcA(Handle(), message, wparam, lparam);
}

LRESULT DocumentWindow::OnSize(WPARAM wparam, LPARAM lparam) {
    LayOut(LOWORD(lparam), HIWORD(lparam));
    // The MDI child's own handling keeps the MDI area's bookkeeping right.
    return CallDefault(WM_SIZE, wparam, lparam);
}

LRESULT DocumentWindow::OnMdiActivate(WPARAM wparam, LPARAM lparam) {
    if (reinterpret_cast<HWND>(lparam) == Handle()) {
        BringToFront();
    }
    return CallDefault(WM_MDIACTIVATE, wparam, lparam);
}

LRESULT DocumentWindow::OnDestroy() {
    host_.DocumentClosed();
    return CallDefault(WM_DESTROY, 0, 0);
}

// The front-most document window is the first child of the MDI area: that
// is how a program finds it. The system's MDI code does this itself on
// activation; doing it here too keeps it true whatever that code does.
void DocumentWindow::BringToFront() {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- ChatRoom

ChatRoom::ChatRoom(DocumentHost& host, int number, int icons, HangRule hang, int keep_lines,
                   bool plain_transcript)
    : DocumentWindow(host, "room" + std::to_string(number), "Chat Room " + std::to_string(number)),
      number_(number),
      icon_count_(icons),
      hang_(std::move(hang)),
      keep_lines_(keep_lines),
      plain_transcript_(plain_transcript),
      input_(client_class::kRichText, false, [this](const std::string& line) { Post(line); }),
      icons_(host.Log(), Name()) {}

bool ChatRoom::CreateChildren() {
    // The six classes that mark a chat room.
    const std::string title = "Chat Room " + std::to_string(number_) + " (1 person here)";
    return title_label_.Create(Handle(), title.c_str()) && picture_.Create(Handle()) &&
           transcript_.Create(Handle(), static_cast<std::size_t>(keep_lines_), plain_transcript_) &&
           people_.Create(Handle()) && input_.Create(Handle()) &&
           icons_.Create(Handle(), icon_count_, kDocumentIconSize, NumberLabel);
}

void ChatRoom::LayOut(int width, int height) {
    const int column = width < 320 ? 80 : 100;
    const RECT icon_area = IconArea(icons_, width, height);
    icons_.LayOut(icon_area);
    const int input_top = ContentBottom(icon_area) - kFieldHeight;
    Place(input_.Handle(), RECT{kMargin, input_top, width - kMargin, input_top + kFieldHeight});
    const int column_left = width - kMargin - column;
    Place(title_label_.Handle(),
          RECT{kMargin, kMargin, column_left - kGap, kMargin + kLabelHeight});
    Place(transcript_.Shown(),
          RECT{kMargin, kMargin + kLabelHeight + kGap, column_left - kGap, input_top - kGap});
    Place(picture_.Handle(),
          RECT{column_left, kMargin, column_left + kPictureSize, kMargin + kPictureSize});
    Place(people_.Handle(),
          RECT{column_left, kMargin + kPictureSize + kGap, width - kMargin, input_top - kGap});
}

void ChatRoom::Say(std::string_view name, std::string_view text) {
    transcript_.AppendSaid(name, text);
    Host().Log().Write("said room=" + std::to_string(number_) +
                       " shown=" + EscapedForReading(std::string(name) + ": " + std::string(text)));
}

void ChatRoom::Post(const std::string& line) {
    transcript_.Append(line);
    const std::string shown = ShownText(ParseChatLine(line));
    Host().Log().Write("line room=" + std::to_string(number_) + " hex=" + HexBytes(line) +
                       " shown=" + EscapedForReading(shown));
    if (hang_.HangsOn(shown)) {
        Hang();
    }
}

// A plain Sleep within the Enter character's handling: the thread takes no
// message at all meanwhile, so a program's SendMessageTimeout to any of the
// client's windows times out, as when the real client hangs.
void ChatRoom::Hang() const {
    Host().Log().Write("hang ms=" + std::to_string(hang_.ms));
    Sleep(static_cast<DWORD>(hang_.ms));
    Host().Log().Write("hang-end");
}

// ---- ImWindow

ImWindow::ImWindow(DocumentHost& host, int number, int icons, int build_step_ms)
    : DocumentWindow(host, "im" + std::to_string(number),
                     "Instant Message " + std::to_string(number)),
      icon_count_(icons),
      build_step_ms_(build_step_ms),
      recipient_(client_class::kEdit, false),
      body_(client_class::kRichText, true),
      icons_(
          host.Log(), Name(), [this](int position) { IconPressed(position); },
          [this](int position) { IconReleased(position); }) {}

bool ImWindow::CreateChildren() {
    if (build_step_ms_ > 0) {
        // The window's own timer goes with the window: one closed while it
        // is being built (or with the frame) hears no more of it.
        return SetTimer(Handle(), kBuildTimerId, static_cast<UINT>(build_step_ms_), nullptr) != 0;
    }
    // The four classes that mark an instant-message window. Made at once,
    // the text box comes last: a program looking in the meantime must not
    // find a window that carries all four while its icons are still being
    // made.
    return to_label_.Create(Handle(), "To:") && recipient_.Create(Handle()) &&
           icons_.Create(Handle(), icon_count_, kDocumentIconSize, ImIconLabel) &&
           body_.Create(Handle());
}

// Made a step at a time, the children come in the client's own order: the
// window carries all four marking classes from the third step on, long
// before its send icon exists.
bool ImWindow::CreateNextChild() {
    switch (children_made_++) {
        case 0:
            return to_label_.Create(Handle(), "To:");
        case 1:
            return recipient_.Create(Handle());
        case 2:
            return body_.Create(Handle());
        default:
            return icons_.Add(Handle(), kDocumentIconSize, ImIconLabel);
    }
}

void ImWindow::BuildStep() {
    const bool made = CreateNextChild();
    const bool built = made && children_made_ == kImFieldChildren + icon_count_;
    if (!made || built) {
        KillTimer(Handle(), kBuildTimerId);
    }
    LayOutNow();
    // After the layout: a reader of the log finds the window as it stays.
    if (built) {
        Host().Log().Write("im-window-built window=" + Name());
    }
}

void ImWindow::LayOut(int width, int height) {
    constexpr int kToLabelWidth = 24;
    const RECT icon_area = IconArea(icons_, width, height);
    icons_.LayOut(icon_area);
    Place(to_label_.Handle(),
          RECT{kMargin, kMargin, kMargin + kToLabelWidth, kMargin + kFieldHeight});
    Place(recipient_.Handle(),
          RECT{kMargin + kToLabelWidth + kGap, kMargin, width - kMargin, kMargin + kFieldHeight});
    Place(body_.Handle(),
          RECT{kMargin, kMargin + kFieldHeight + kGap, width - kMargin, ContentBottom(icon_area)});
}

LRESULT ImWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER && wparam == kCloseTimerId) {
        KillTimer(Handle(), kCloseTimerId);
        Close();
        return 0;
    }
    if (message == WM_TIMER && wparam == kBuildTimerId) {
        BuildStep();
        return 0;
    }
    return DocumentWindow::HandleMessage(message, wparam, lparam);
}

void ImWindow::IconPressed(int position) {
    if (position == kSendIconPosition) {
        Send();
    }
}

// The window closes once the press that sent the message has ended, so that
// the whole press reaches it (and the log); a press that never ends closes
// it a moment later.
void ImWindow::IconReleased(int position) {
    if (sent_ && position == kSendIconPosition) {
        Close();
    }
}

// Sends once: a second press before the window has closed sends nothing more.
void ImWindow::Send() {
    if (sent_) {
        return;
    }
    sent_ = true;
    Host().InstantMessageSent(Name(), recipient_.Text(), body_.Text());
    SetTimer(Handle(), kCloseTimerId, kCloseAfterUnendedPressMs, nullptr);
}

// Posted, not done at once: the window goes after the message in hand.
void ImWindow::Close() {
    if (closing_) {
        return;
    }
    closing_ = true;
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

// ---- PlainDocument

PlainDocument::PlainDocument(DocumentHost& host, int number, int icons)
    : DocumentWindow(host, "doc" + std::to_string(number), "Document " + std::to_string(number)),
      number_(number),
      icon_count_(icons),
      icons_(host.Log(), Name()) {}

bool PlainDocument::CreateChildren() {
    const std::string caption = "Document " + std::to_string(number_) + " (not a chat room)";
    return caption_.Create(Handle(), caption.c_str()) &&
           icons_.Create(Handle(), icon_count_, kDocumentIconSize, NumberLabel);
}

void PlainDocument::LayOut(int width, int height) {
    const RECT icon_area = IconArea(icons_, width, height);
    icons_.LayOut(icon_area);
    Place(caption_.Handle(), RECT{kMargin, kMargin, width - kMargin, kMargin + kLabelHeight});
}

}  // namespace lullcast::standin
