#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <type_traits>

namespace lullcast::standin {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// A WM_PAINT pass drawn off screen and copied to the window in one piece when
// it ends, so that a window drawn in layers does not flicker.
class BufferedPaint {
  public:
    explicit BufferedPaint(HWND window);
    ~BufferedPaint();
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    BufferedPaint(BufferedPaint&&) = delete;
    BufferedPaint& operator=(BufferedPaint&&) = delete;

    // Where to draw, and the window's client area (from 0, 0).
    [[nodiscard]] HDC Dc() const { return memory_dc_ != nullptr ? memory_dc_ : paint_.hdc; }
    [[nodiscard]] RECT Bounds() const { return bounds_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    RECT bounds_{};
    HDC memory_dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_bitmap_ = nullptr;
};

// The font of the stand-in's own labels and buttons (not of the chat text).
[[nodiscard]] HFONT UiFont();

void FillSolid(HDC dc, RECT area, COLORREF colour);
void FrameSolid(HDC dc, RECT area, COLORREF colour);
// Fills `area` with a vertical gradient from `top` to `bottom`.
void FillVerticalGradient(HDC dc, RECT area, COLORREF top, COLORREF bottom);
// ANSI text (the client's code page) in `area`, with DrawTextA's `format`.
void DrawAnsiText(HDC dc, RECT area, std::string_view text, COLORREF colour, UINT format);
// The size of ANSI text on one line, in the font that DrawAnsiText uses.
[[nodiscard]] SIZE AnsiTextExtent(HDC dc, std::string_view text);

[[nodiscard]] RECT Inset(RECT area, int by);

}  // namespace lullcast::standin
