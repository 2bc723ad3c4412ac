#include "ui/label.h"

#include <windowsx.h>

#include <array>

#include "ui/win32_cast.h"

namespace lullcast {
namespace {

constexpr const wchar_t* kLabelClass = L"LullCastLabel";

}  // namespace

bool Label::Create(HWND parent, int control_id, const wchar_t* text, RECT bounds, Look look) {
    look_ = look;
    if (!RegisterClassOnce(kLabelClass, LoadCursorW(nullptr, IDC_ARROW), nullptr)) {
        return false;
    }
    return CreateFor(0, kLabelClass, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, bounds, parent,
                     control_id) != nullptr;
}

LRESULT Label::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETFONT:
            font_ = PointerFrom<HFONT>(wparam);
            if (LOWORD(lparam) != 0) {
                InvalidateRect(Handle(), nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT:
            return SlotFrom<LRESULT>(font_);
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(Handle(), message, wparam, lparam);
            InvalidateRect(Handle(), nullptr, TRUE);
            return result;
        }
        case WM_LBUTTONUP:
            OnLeftButtonUp(lparam);
            return 0;
        case WM_CAPTURECHANGED:
            left_pressed_ = false;
            return 0;
        default:
            if (IsButtonDown(message)) {
                OnButtonDown(message);
                return ButtonDownHandled(message);
            }
            return SelfPaintedWindow::HandleMessage(message, wparam, lparam);
    }
}

void Label::OnButtonDown(UINT message) {
    if (message == WM_LBUTTONDOWN && on_click) {
        left_pressed_ = true;
        SetCapture(Handle());
    }
    if (on_any_button_down) {
        on_any_button_down();
    }
}

void Label::OnLeftButtonUp(LPARAM lparam) {
    if (!left_pressed_) {
        return;
    }
    left_pressed_ = false;
    ReleaseCapture();
    RECT client{};
    GetClientRect(Handle(), &client);
    const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (PtInRect(&client, at) != FALSE && on_click) {
        on_click();
    }
}

void Label::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(Handle(), &client);
    if (look_.see_through) {
        // Let the parent paint what lies under the label.
        POINT origin{0, 0};
        MapWindowPoints(Handle(), GetParent(Handle()), &origin, 1);
        POINT previous{};
        OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
        SendMessageW(GetParent(Handle()), WM_PRINTCLIENT, SlotFrom<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    DrawText(dc, client);
}

void Label::DrawText(HDC dc, RECT bounds) const {
    std::array<wchar_t, 256> text{};
    const int length = GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()));
    auto* const font =
        font_ != nullptr ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto* const old_font = SelectObject(dc, font);
    SIZE extent{};
    const int width = bounds.right - bounds.left;
    if (look_.condense_to_fit && length > 1 &&
        GetTextExtentPoint32W(dc, text.data(), length, &extent) != FALSE && extent.cx > width) {
        // Close up the letters just enough for the whole text to fit.
        const int overflow = extent.cx - width;
        SetTextCharacterExtra(dc, -((overflow + length - 2) / (length - 1)));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(
        dc, look_.text_colour != CLR_INVALID ? look_.text_colour : GetSysColor(COLOR_WINDOWTEXT));
    ::DrawTextW(dc, text.data(), length, &bounds, look_.alignment | DT_SINGLELINE | DT_NOPREFIX);
    SetTextCharacterExtra(dc, 0);
    SelectObject(dc, old_font);
}

}  // namespace lullcast
