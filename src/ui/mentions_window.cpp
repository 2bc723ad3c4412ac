#include "ui/mentions_window.h"

#include "core/text_win.h"
#include "ui/resource_ids.h"
#include "ui/win32_cast.h"

namespace lullcast {
namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 260;
constexpr int kGap = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

}  // namespace

MentionsWindow::~MentionsWindow() {
    if (Handle() != nullptr) {
        DestroyWindow(Handle());
    }
}

bool MentionsWindow::Create(HWND owner, HFONT font) {
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    if (!RegisterClassOnce(kClassName, LoadCursorW(nullptr, IDC_ARROW),
                           GetSysColorBrush(COLOR_BTNFACE)) ||
        CreateFor(0, kClassName, L"Lull-Cast 2k3", kStyle, CentredInWorkArea(kWidth, kHeight),
                  owner, 0) == nullptr) {
        return false;
    }
    auto* const instance = GetModuleHandleW(nullptr);
    text_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                            ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                        0, 0, 0, 0, Handle(), ControlIdSlot(IDC_MENTIONS_TEXT), instance, nullptr);
    close_ = CreateWindowExW(0, L"BUTTON", L"Close",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                             Handle(), ControlIdSlot(IDC_MENTIONS_CLOSE), instance, nullptr);
    if (text_ == nullptr || close_ == nullptr) {
        DestroyWindow(Handle());
        return false;
    }
    SendMessageW(text_, WM_SETFONT, SlotFrom<WPARAM>(font), FALSE);
    SendMessageW(close_, WM_SETFONT, SlotFrom<WPARAM>(font), FALSE);
    Layout();
    return true;
}

void MentionsWindow::Show(HWND owner, std::string_view list, HFONT font) {
    if (Handle() == nullptr && !Create(owner, font)) {
        return;
    }
    SetWindowTextW(text_, WidenUtf8(list).c_str());
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
}

void MentionsWindow::Layout() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int button_top = client.bottom - kGap - kButtonHeight;
    constexpr UINT kPlace = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(text_, nullptr, kGap, kGap, client.right - 2 * kGap, button_top - 2 * kGap,
                 kPlace);
    SetWindowPos(close_, nullptr, client.right - kGap - kButtonWidth, button_top, kButtonWidth,
                 kButtonHeight, kPlace);
}

LRESULT MentionsWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            if (text_ != nullptr) {
                Layout();
            }
            return 0;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDC_MENTIONS_CLOSE || LOWORD(wparam) == IDCANCEL) {
                DestroyWindow(Handle());
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE) {
                SetFocus(close_);
            }
            return 0;
        case WM_NCDESTROY:
            text_ = nullptr;
            close_ = nullptr;
            return WindowBase::HandleMessage(message, wparam, lparam);
        default:
            return WindowBase::HandleMessage(message, wparam, lparam);
    }
}

}  // namespace lullcast
