#pragma once

#include <windows.h>

#include <functional>

#include "ui/handles.h"
#include "ui/window_base.h"

namespace lullcast {

// The window's title strip: a black-to-cyan gradient picture that the program
// draws itself, 150 x 15 pixels at 96 DPI, at the strip's top-left corner and
// cut off by the strip's right edge. A press of any mouse button on it is
// reported, to move the window.
class TitleStrip final : public SelfPaintedWindow {
  public:
    TitleStrip() = default;

    bool Create(HWND parent, int control_id, RECT bounds, int dpi);

    std::function<void()> on_any_button_down;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void Paint(HDC dc) const override;

    UniqueBitmap gradient_;
    int dpi_ = kDesignDpi;
};

}  // namespace lullcast
