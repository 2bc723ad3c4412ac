// Lull-Cast: while its user is away, tells the chat room that is open in the
// chat client, and keeps count of the time away.
#include <windows.h>

#include "client/quill_aol8/quill_client.h"
#include "client/quill_aol8/user32_window_functions.h"
#include "settings/profile_away_settings.h"
#include "settings/profile_handle_store.h"
#include "settings/profile_settings_store.h"
#include "ui/desktop_last_input_clock.h"
#include "ui/form1_window.h"
#include "ui/single_instance.h"
#include "ui/win32_cast.h"
#include "ui/win32_event_loop.h"

namespace {

// DLLs are loaded from the system folder only, never from the current
// directory, where a planted DLL could otherwise be picked up.
void RefuseDllsFromTheCurrentDirectory() {
    SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto* const kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr) {
        return;
    }
    const auto set_default_dll_directories =
        lullcast::ProcedureOf<SetDefaultDllDirectoriesFunction>(kernel32,
                                                                "SetDefaultDllDirectories");
    if (set_default_dll_directories != nullptr) {
        set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
    RefuseDllsFromTheCurrentDirectory();

    // A second copy would post every line twice and write the same info.ini:
    // it posts and writes nothing, and shows the running one instead.
    const lullcast::SingleInstance instance;
    if (!instance.IsOnlyCopy()) {
        lullcast::BringRunningCopyForward(lullcast::Form1Window::kClassName);
        return 0;
    }

    lullcast::Win32EventLoop event_loop;
    lullcast::quill_aol8::User32WindowFunctions client_windows;
    lullcast::quill_aol8::QuillClient client(client_windows, event_loop);
    lullcast::ProfileHandleStore handle_store;
    // Read once: a change to the file by hand takes effect at the next start,
    // a change in the settings dialog at once.
    const std::wstring settings_path = lullcast::SettingsPath();
    lullcast::AwaySettings settings = lullcast::LoadAwaySettings(settings_path);
    lullcast::ProfileSettingsStore settings_store(settings_path, lullcast::ProgramFileName());
    lullcast::DesktopLastInputClock last_input;
    lullcast::Form1Window window(client, handle_store, event_loop, settings, last_input,
                                 settings_store);
    if (!window.Create()) {
        return 1;
    }
    event_loop.SetKeyboardWindow(window.Handle());
    window.Load();
    return event_loop.Run();
}
