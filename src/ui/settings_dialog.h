#pragma once

#include <windows.h>

#include <optional>

#include "app/main_window.h"

namespace lullcast {

// The modal settings dialog: every optional setting in a field of its own,
// the colours with a swatch each and the system's colour picker, the faces
// installed to choose from, and a preview of one chat line as the room would
// draw it, composed by `line_in` from the fields as they stand. OK takes only
// fields that hold valid values: it names the first one that does not, in a
// message box, and selects it. Returns the choice made with OK; nothing on
// Cancel or when the dialog is closed. Texts are UTF-8.
[[nodiscard]] std::optional<SettingsChoice> ShowSettingsDialog(HWND owner,
                                                               const SettingsChoice& shown,
                                                               const ChatLineInLook& line_in);

}  // namespace lullcast
