#pragma once

#include <windows.h>

#include <functional>

#include "ui/window_base.h"

namespace lullcast {

// A one-line text label. Over a picture it is see-through: its parent paints
// the background into it (WM_PRINTCLIENT). It reports a left click (press and
// release over it) and, separately, the press of any mouse button.
class Label final : public SelfPaintedWindow {
  public:
    struct Look {
        COLORREF text_colour = CLR_INVALID;  // CLR_INVALID: the system's text colour
        bool see_through = false;            // else the dialog background
        UINT alignment = DT_LEFT;
        // A text too wide for the label is drawn with its letters closer
        // together rather than cut off.
        bool condense_to_fit = false;
    };

    Label() = default;

    bool Create(HWND parent, int control_id, const wchar_t* text, RECT bounds, Look look);

    std::function<void()> on_click;
    std::function<void()> on_any_button_down;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void Paint(HDC dc) const override;
    void DrawText(HDC dc, RECT bounds) const;
    void OnButtonDown(UINT message);
    void OnLeftButtonUp(LPARAM lparam);

    Look look_;
    HFONT font_ = nullptr;
    bool left_pressed_ = false;
};

}  // namespace lullcast
