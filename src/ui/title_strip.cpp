#include "ui/title_strip.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lullcast {
namespace {

constexpr const wchar_t* kTitleStripClass = L"LullCastTitleStrip";
constexpr int kImageWidth = 150;
constexpr int kImageHeight = 15;

// Black at the left edge, cyan (no red, full green and blue) at the right.
UniqueBitmap MakeGradientBitmap() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kImageWidth;
    info.bmiHeader.biHeight = -kImageHeight;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        return nullptr;
    }
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int x = 0; x < kImageWidth; ++x) {
        const auto level =
            static_cast<std::uint32_t>((255 * x + (kImageWidth - 1) / 2) / (kImageWidth - 1));
        const std::uint32_t cyan_shade = (level << 8U) | level;  // 0x00RRGGBB in a DIB
        for (int y = 0; y < kImageHeight; ++y) {
            pixels[y * kImageWidth + x] = cyan_shade;
        }
    }
    GdiFlush();
    return bitmap;
}

}  // namespace

bool TitleStrip::Create(HWND parent, int control_id, RECT bounds, int dpi) {
    dpi_ = dpi;
    gradient_ = MakeGradientBitmap();
    if (!RegisterClassOnce(kTitleStripClass, LoadCursorW(nullptr, IDC_ARROW), nullptr)) {
        return false;
    }
    return CreateFor(0, kTitleStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds,
                     parent, control_id) != nullptr;
}

LRESULT TitleStrip::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (IsButtonDown(message)) {
        if (on_any_button_down) {
            on_any_button_down();
        }
        return ButtonDownHandled(message);
    }
    return SelfPaintedWindow::HandleMessage(message, wparam, lparam);
}

void TitleStrip::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const UniqueMemoryDc image(CreateCompatibleDC(dc));
    if (!gradient_ || !image) {
        return;
    }
    auto* const image_dc = image.get();
    auto* const old_bitmap = SelectObject(image_dc, gradient_.get());
    const int width = MulDiv(kImageWidth, dpi_, kDesignDpi);
    const int height = MulDiv(kImageHeight, dpi_, kDesignDpi);
    if (width == kImageWidth) {
        BitBlt(dc, 0, 0, kImageWidth, kImageHeight, image_dc, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, width, height, image_dc, 0, 0, kImageWidth, kImageHeight, SRCCOPY);
    }
    SelectObject(image_dc, old_bitmap);
}

}  // namespace lullcast
