#include "ui/popup_menu.h"

#include <array>

#include "ui/resource_ids.h"

namespace lullcast {
namespace {

struct MenuItem {
    UINT command;  // 0: a separator
    const wchar_t* caption;
};

constexpr std::array<MenuItem, 11> kMenuItems{{
    {IDM_ABOUT, L"- &About"},
    {IDM_GREETZ, L"- &Greetz"},
    {IDM_CONTACTS, L"- &Contacts?"},
    {0, nullptr},
    {IDM_HANDLE_CHANGE, L"- Change &Handle"},
    {IDM_SETTINGS, L"- &Settings..."},
    {IDM_IMS_ON, L"- IMs On"},
    {IDM_IMS_OFF, L"- IMs Off"},
    {0, nullptr},
    {IDM_MINIMIZE, L"- &Minimize"},
    {IDM_EXIT, L"- &Exit"},
}};

UniqueMenu BuildMenu() {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) {
        return menu;
    }
    for (const MenuItem& item : kMenuItems) {
        if (item.command == 0) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu.get(), MF_STRING, item.command, item.caption);
        }
    }
    return menu;
}

}  // namespace

int PopupMenu::ShowAtPointer(HWND owner) {
    if (!menu_) {
        menu_ = BuildMenu();
    }
    if (!menu_) {
        return 0;
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    // The owner must be in the foreground, or the menu would not close when
    // the user clicks elsewhere.
    SetForegroundWindow(owner);
    const BOOL command = TrackPopupMenu(
        menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
        pointer.x, pointer.y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    return command;
}

}  // namespace lullcast
