// How lullcast.exe ends on an error that nothing catches: linked as the
// program is, with its runtime and its replacements of parts of it
// (src/ui/terminate_handler.cpp, src/ui/throw_helpers.cpp). Each run makes one
// error, named by the argument, and must end with the runtime's report on
// stderr; a line "ran on" on stdout means that the error was lost.
//
// A console program, so that abort() writes its note instead of showing a
// message box.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace {

struct WindowError : std::exception {
    [[nodiscard]] const char* what() const noexcept override {
        return "thrown in a window procedure";
    }
};

LRESULT CALLBACK ThrowingWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER) throw WindowError();
    return DefWindowProcW(window, message, wparam, lparam);
}

// An exception that leaves a window procedure reaches the window system's
// frames, which have no unwind data; the search for a handler stops there
// and ends the program, as it must, instead of returning into the message
// loop. (Without the window, the run goes on and says so.)
void ThrowInWindowProcedure() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = ThrowingWindowProcedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"LullCastProgramErrors";
    RegisterClassW(&window_class);
    SendMessageW(CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, window_class.hInstance, nullptr),
                 WM_USER, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view error = argc > 1 ? argv[1] : "";
    // From the arguments, so that the compiler cannot see the error coming.
    std::string text(error);
    if (error == "length") {
        text.reserve(text.max_size() + 1);
    } else if (error == "substr") {
        text = text.substr(text.size() + 1);
    } else if (error == "window") {
        ThrowInWindowProcedure();
    } else {
        std::puts("usage: program_errors length|substr|window");
        return 2;
    }
    std::puts("ran on");
    return 0;
}
