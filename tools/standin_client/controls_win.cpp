#include "controls_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "event_log_win.h"
#include "gdi_win.h"

namespace lullcast::standin {
namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr int kIconGap = 3;

constexpr COLORREF kIconTop = RGB(250, 251, 255);
constexpr COLORREF kIconBottom = RGB(206, 216, 236);
constexpr COLORREF kIconPressedTop = RGB(170, 190, 230);
constexpr COLORREF kIconPressedBottom = RGB(214, 226, 250);
constexpr COLORREF kIconBorder = RGB(92, 108, 150);
constexpr COLORREF kIconText = RGB(20, 34, 80);
constexpr COLORREF kFieldBackground = RGB(255, 255, 255);
constexpr COLORREF kFieldBorder = RGB(128, 136, 156);
constexpr COLORREF kFieldFocusBorder = RGB(40, 90, 200);
constexpr COLORREF kFieldText = RGB(0, 0, 0);
constexpr COLORREF kLabelText = RGB(20, 34, 80);
constexpr COLORREF kListHeader = RGB(36, 60, 120);
constexpr COLORREF kListHeaderText = RGB(255, 255, 255);
constexpr COLORREF kPictureTop = RGB(0, 64, 64);
constexpr COLORREF kPictureBottom = RGB(0, 255, 255);

}  // namespace

void Place(HWND window, RECT bounds) {
    MoveWindow(window, bounds.left, bounds.top, std::max(0L, bounds.right - bounds.left),
               std::max(0L, bounds.bottom - bounds.top), TRUE);
}

// ---- Icon

bool Icon::Create(HWND parent) {
    if (!RegisterClassOnce(client_class::kIcon, Kind::kPlain, nullptr)) {
        return false;
    }
    return AnsiWindow::Create(client_class::kIcon, label_.c_str(), kChildStyle, RECT{}, parent) !=
           nullptr;
}

LRESULT Icon::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return OnButtonDown();
        case WM_LBUTTONUP:
            return OnRelease(IconRelease::kButton);
        case WM_KEYUP:
            return wparam == VK_SPACE ? OnRelease(IconRelease::kSpace)
                                      : CallDefault(message, wparam, lparam);
        default:
            return PaintedWindow::HandleMessage(message, wparam, lparam);
    }
}

LRESULT Icon::OnButtonDown() {
    pressed_ = true;
    InvalidateRect(Handle(), nullptr, FALSE);
    owner_.IconPressed(Handle());
    return 0;
}

LRESULT Icon::OnRelease(IconRelease how) {
    pressed_ = false;
    InvalidateRect(Handle(), nullptr, FALSE);
    owner_.IconReleased(Handle(), how);
    return 0;
}

LRESULT Icon::OnPaint() {
    const BufferedPaint paint(Handle());
    const RECT bounds = paint.Bounds();
    FillVerticalGradient(paint.Dc(), bounds, pressed_ ? kIconPressedTop : kIconTop,
                         pressed_ ? kIconPressedBottom : kIconBottom);
    FrameSolid(paint.Dc(), bounds, kIconBorder);
    DrawAnsiText(paint.Dc(), bounds, label_, kIconText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return 0;
}

// ---- IconRow

bool IconRow::Create(HWND parent, int count, SIZE icon_size, const LabelFor& label_for) {
    for (int position = 1; position <= count; ++position) {
        if (!Add(parent, icon_size, label_for)) {
            return false;
        }
    }
    return true;
}

// Each new child goes below its siblings, so the z-order, which is the order
// a program walking the icons sees, is the order of the positions.
bool IconRow::Add(HWND parent, SIZE icon_size, const LabelFor& label_for) {
    icon_size_ = icon_size;
    IconOwner& owner = *this;
    auto icon = std::make_unique<Icon>(owner, label_for(Count() + 1));
    if (!icon->Create(parent)) {
        return false;
    }
    icons_.push_back(std::move(icon));
    return true;
}

int IconRow::PerRow(int width) const {
    return std::max(1, (width + kIconGap) / static_cast<int>(icon_size_.cx + kIconGap));
}

int IconRow::HeightFor(int width) const {
    if (icons_.empty()) {
        return 0;
    }
    const int count = static_cast<int>(icons_.size());
    const int rows = (count + PerRow(width) - 1) / PerRow(width);
    return rows * static_cast<int>(icon_size_.cy) + (rows - 1) * kIconGap;
}

void IconRow::LayOut(RECT area) const {
    const int per_row = PerRow(area.right - area.left);
    int index = 0;
    for (const std::unique_ptr<Icon>& icon : icons_) {
        const int left = area.left + index % per_row * static_cast<int>(icon_size_.cx + kIconGap);
        const int top = area.top + index / per_row * static_cast<int>(icon_size_.cy + kIconGap);
        Place(icon->Handle(), RECT{left, top, left + icon_size_.cx, top + icon_size_.cy});
        ++index;
    }
}

int IconRow::PositionOf(HWND icon) {
    const HWND parent = GetParent(icon);
    int position = 0;
    HWND sibling = nullptr;
    while ((sibling = FindWindowExA(parent, sibling, client_class::kIcon, nullptr)) != nullptr) {
        ++position;
        if (sibling == icon) {
            return position;
        }
    }
    return 0;
}

void IconRow::IconPressed(HWND icon) {
    const int position = PositionOf(icon);
    log_.Write("click window=" + owner_name_ + " icon=" + std::to_string(position));
    if (on_press_) {
        on_press_(position);
    }
}

void IconRow::IconReleased(HWND icon, IconRelease how) {
    const int position = PositionOf(icon);
    log_.Write("release window=" + owner_name_ + " icon=" + std::to_string(position) +
               (how == IconRelease::kButton ? " by=button" : " by=space"));
    if (on_release_) {
        on_release_(position);
    }
}

// ---- TextField

bool TextField::Create(HWND parent) {
    if (!RegisterClassOnce(class_name_, Kind::kPlain, nullptr)) {
        return false;
    }
    return AnsiWindow::Create(class_name_, "", kChildStyle | WS_TABSTOP, RECT{}, parent) != nullptr;
}

LRESULT TextField::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETTEXT:
            return OnSetText(wparam, lparam);
        case WM_GETTEXT:
            return OnGetText(wparam, lparam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(edit_.Text().size());
        case WM_CHAR:
            return OnChar(wparam);
        case EM_SETSEL:
            return OnSetSelection(wparam, lparam);
        case EM_GETSEL:
            return OnGetSelection(wparam, lparam);
        case WM_LBUTTONDOWN:
            SetFocus(Handle());
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return OnFocusChange();
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        default:
            return PaintedWindow::HandleMessage(message, wparam, lparam);
    }
}

LRESULT TextField::OnSetText(WPARAM /*wparam*/, LPARAM lparam) {
    const auto* text = reinterpret_cast<const char*>(lparam);
    edit_.SetText(text != nullptr ? text : "");
    TextChanged();
    return TRUE;
}

LRESULT TextField::OnGetText(WPARAM wparam, LPARAM lparam) const {
    auto* buffer = reinterpret_cast<char*>(lparam);
    if (buffer == nullptr || wparam == 0) {
        return 0;
    }
    const std::string& text = edit_.Text();
    const std::size_t length = std::min<std::size_t>(text.size(), wparam - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

LRESULT TextField::OnChar(WPARAM character) {
    constexpr WPARAM kEnter = 13;
    constexpr WPARAM kBackspace = 8;
    if (character == kEnter) {
        if (on_enter_) {
            const std::string entered = edit_.Take();
            TextChanged();
            on_enter_(entered);
        }
        return 0;
    }
    if (character == kBackspace) {
        edit_.Backspace();
    } else if (character >= 0x20 && character != 0x7F) {
        edit_.Type(static_cast<char>(character & 0xFFU));
    } else {
        return 0;
    }
    TextChanged();
    return 0;
}

// The values are read as the edit control's 32-bit ones, so -1 arrives as
// the largest and means "none" as a start, "the end of the text" as an end.
LRESULT TextField::OnSetSelection(WPARAM start, LPARAM end) {
    edit_.Select(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end));
    InvalidateRect(Handle(), nullptr, FALSE);
    return 0;
}

// The pointers are the sender's: only a sender in this process (or one whose
// pointers the system carried over) passes any.
LRESULT TextField::OnGetSelection(WPARAM start_out, LPARAM end_out) const {
    const auto start = static_cast<DWORD>(edit_.SelectionStart());
    const auto end = static_cast<DWORD>(edit_.SelectionEnd());
    if (auto* out = reinterpret_cast<DWORD*>(start_out); out != nullptr) {
        *out = start;
    }
    if (auto* out = reinterpret_cast<DWORD*>(end_out); out != nullptr) {
        *out = end;
    }
    return MAKELRESULT(start, end);
}

void TextField::TextChanged() {
    CallDefault(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(edit_.Text().c_str()));
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TextField::OnPaint() {
    const BufferedPaint paint(Handle());
    const RECT bounds = paint.Bounds();
    const bool focused = GetFocus() == Handle();
    FillSolid(paint.Dc(), bounds, kFieldBackground);
    FrameSolid(paint.Dc(), bounds, focused ? kFieldFocusBorder : kFieldBorder);
    const UINT format = multi_line_ ? DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL
                                    : DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    const RECT text_area{bounds.left + 4, bounds.top + 2, bounds.right - 4, bounds.bottom - 2};
    DrawAnsiText(paint.Dc(), text_area, edit_.Text(), kFieldText, format);
    if (focused) {
        DrawCaret(paint.Dc(), text_area);
    }
    return 0;
}

// A line after the text before the caret, on the first line of the text: a
// long text that wraps or runs out of the field shows its caret at the
// field's edge.
void TextField::DrawCaret(HDC dc, RECT text_area) const {
    const SIZE before = AnsiTextExtent(dc, std::string_view(edit_.Text()).substr(0, edit_.Caret()));
    const LONG x = std::min(text_area.left + before.cx, text_area.right - 1);
    const LONG line_height = AnsiTextExtent(dc, "|").cy;
    const LONG top = multi_line_
                         ? text_area.top
                         : text_area.top + (text_area.bottom - text_area.top - line_height) / 2;
    FillSolid(dc, RECT{x, top, x + 1, top + line_height}, kFieldText);
}

LRESULT TextField::OnFocusChange() {
    InvalidateRect(Handle(), nullptr, FALSE);
    return 0;
}

// ---- Label

bool Label::Create(HWND parent, const char* text) {
    return RegisterClassOnce(client_class::kStatic, Kind::kPlain, nullptr) &&
           AnsiWindow::Create(client_class::kStatic, text, kChildStyle, RECT{}, parent) != nullptr;
}

LRESULT Label::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETTEXT: {
            const LRESULT result = CallDefault(message, wparam, lparam);
            InvalidateRect(Handle(), nullptr, FALSE);
            return result;
        }
        default:
            return PaintedWindow::HandleMessage(message, wparam, lparam);
    }
}

LRESULT Label::OnPaint() {
    const BufferedPaint paint(Handle());
    FillSolid(paint.Dc(), paint.Bounds(), GetSysColor(COLOR_BTNFACE));
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(Handle())) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size()))));
    DrawAnsiText(paint.Dc(), paint.Bounds(), text, kLabelText,
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    return 0;
}

// ---- PeopleList

bool PeopleList::Create(HWND parent) {
    return RegisterClassOnce(client_class::kComboBox, Kind::kPlain, nullptr) &&
           AnsiWindow::Create(client_class::kComboBox, "", kChildStyle, RECT{}, parent) != nullptr;
}

LRESULT PeopleList::OnPaint() {
    const BufferedPaint paint(Handle());
    const RECT bounds = paint.Bounds();
    constexpr int kHeaderHeight = 18;
    FillSolid(paint.Dc(), bounds, kFieldBackground);
    const RECT header{bounds.left, bounds.top, bounds.right, bounds.top + kHeaderHeight};
    FillSolid(paint.Dc(), header, kListHeader);
    DrawAnsiText(paint.Dc(), RECT{header.left + 4, header.top, header.right, header.bottom},
                 "People here: 1", kListHeaderText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    DrawAnsiText(paint.Dc(),
                 RECT{bounds.left + 6, header.bottom + 2, bounds.right, header.bottom + 18}, "You",
                 kFieldText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    FrameSolid(paint.Dc(), bounds, kFieldBorder);
    return 0;
}

// ---- Picture

bool Picture::Create(HWND parent) {
    return RegisterClassOnce(client_class::kImage, Kind::kPlain, nullptr) &&
           AnsiWindow::Create(client_class::kImage, "", kChildStyle, RECT{}, parent) != nullptr;
}

LRESULT Picture::OnPaint() {
    const BufferedPaint paint(Handle());
    FillVerticalGradient(paint.Dc(), paint.Bounds(), kPictureTop, kPictureBottom);
    FrameSolid(paint.Dc(), paint.Bounds(), kIconBorder);
    return 0;
}

}  // namespace lullcast::standin
