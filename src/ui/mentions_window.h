#pragma once

#include <windows.h>

#include <string_view>

#include "ui/window_base.h"

namespace lullcast {

// "Lull-Cast 2k3": the lines that named the user while away, in read-only
// text that can be selected and copied, with a Close button. It is no dialog:
// the program's window, its tick and its menu go on while it is open. Owned
// by the main window, it stays above it.
class MentionsWindow final : public WindowBase {
  public:
    static constexpr const wchar_t* kClassName = L"LullCastMentions";

    MentionsWindow() = default;
    MentionsWindow(const MentionsWindow&) = delete;
    MentionsWindow& operator=(const MentionsWindow&) = delete;
    MentionsWindow(MentionsWindow&&) = delete;
    MentionsWindow& operator=(MentionsWindow&&) = delete;
    ~MentionsWindow() override;

    // Opens the window with `list` (UTF-8, lines joined by CR LF), or puts
    // `list` in place of what an open one shows.
    void Show(HWND owner, std::string_view list, HFONT font);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool Create(HWND owner, HFONT font);
    void Layout();

    HWND text_ = nullptr;
    HWND close_ = nullptr;
};

}  // namespace lullcast
