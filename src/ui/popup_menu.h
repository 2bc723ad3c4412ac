#pragma once

#include <windows.h>

#include "ui/handles.h"

namespace lullcast {

// The main window's popup menu. It is built the first time it is shown and
// kept until the program ends.
class PopupMenu {
  public:
    // Shows the menu with its left edge at the mouse pointer and returns the
    // command chosen (an IDM_ value), or 0 when the menu was closed without a
    // choice. The command is for the caller to run once the menu has closed.
    [[nodiscard]] int ShowAtPointer(HWND owner);

    [[nodiscard]] HMENU Handle() const { return menu_.get(); }

  private:
    UniqueMenu menu_;
};

}  // namespace lullcast
