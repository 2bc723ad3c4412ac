#include "gdi_win.h"

#include <algorithm>
#include <climits>

namespace lullcast::standin {

BufferedPaint::BufferedPaint(HWND window) : window_(window) {
    BeginPaint(window_, &paint_);
    GetClientRect(window_, &bounds_);
    const int width = std::max(1, static_cast<int>(bounds_.right));
    const int height = std::max(1, static_cast<int>(bounds_.bottom));
    memory_dc_ = CreateCompatibleDC(paint_.hdc);
    bitmap_ = memory_dc_ != nullptr ? CreateCompatibleBitmap(paint_.hdc, width, height) : nullptr;
    if (bitmap_ == nullptr) {
        // Without the buffer, draw on the window directly.
        if (memory_dc_ != nullptr) {
            DeleteDC(memory_dc_);
            memory_dc_ = nullptr;
        }
        return;
    }
    previous_bitmap_ = SelectObject(memory_dc_, bitmap_);
}

BufferedPaint::~BufferedPaint() {
    if (memory_dc_ != nullptr) {
        BitBlt(paint_.hdc, 0, 0, bounds_.right, bounds_.bottom, memory_dc_, 0, 0, SRCCOPY);
        SelectObject(memory_dc_, previous_bitmap_);
        DeleteObject(bitmap_);
        DeleteDC(memory_dc_);
    }
    EndPaint(window_, &paint_);
}

HFONT UiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void FillSolid(HDC dc, RECT area, COLORREF colour) {
    const COLORREF previous = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void FrameSolid(HDC dc, RECT area, COLORREF colour) {
    FillSolid(dc, RECT{area.left, area.top, area.right, area.top + 1}, colour);
    FillSolid(dc, RECT{area.left, area.bottom - 1, area.right, area.bottom}, colour);
    FillSolid(dc, RECT{area.left, area.top, area.left + 1, area.bottom}, colour);
    FillSolid(dc, RECT{area.right - 1, area.top, area.right, area.bottom}, colour);
}

void FillVerticalGradient(HDC dc, RECT area, COLORREF top, COLORREF bottom) {
    const int height = area.bottom - area.top;
    if (height <= 0) {
        return;
    }
    const auto mix = [height](BYTE from, BYTE to, int row) {
        return static_cast<BYTE>(from + (to - from) * row / std::max(1, height - 1));
    };
    for (int row = 0; row < height; ++row) {
        const COLORREF colour = RGB(mix(GetRValue(top), GetRValue(bottom), row),
                                    mix(GetGValue(top), GetGValue(bottom), row),
                                    mix(GetBValue(top), GetBValue(bottom), row));
        FillSolid(dc, RECT{area.left, area.top + row, area.right, area.top + row + 1}, colour);
    }
}

void DrawAnsiText(HDC dc, RECT area, std::string_view text, COLORREF colour, UINT format) {
    const COLORREF previous_colour = SetTextColor(dc, colour);
    const int previous_mode = SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ previous_font = SelectObject(dc, UiFont());
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    DrawTextA(dc, text.data(), length, &area, format | DT_NOPREFIX);
    SelectObject(dc, previous_font);
    SetBkMode(dc, previous_mode);
    SetTextColor(dc, previous_colour);
}

SIZE AnsiTextExtent(HDC dc, std::string_view text) {
    const HGDIOBJ previous_font = SelectObject(dc, UiFont());
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.data(), length, &extent);
    SelectObject(dc, previous_font);
    return extent;
}

RECT Inset(RECT area, int by) {
    return RECT{area.left + by, area.top + by, area.right - by, area.bottom - by};
}

}  // namespace lullcast::standin
