#include "ansi_window_win.h"

namespace lullcast::standin {

AnsiWindow::~AnsiWindow() { DestroyWindowNow(); }

bool AnsiWindow::RegisterClassOnce(const char* class_name, Kind kind, HBRUSH background) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, class_name, &existing) != 0) {
        return true;
    }
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = kind == Kind::kMdiChild ? &MdiChildProcedure : &PlainProcedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = background;
    window_class.lpszClassName = class_name;
    return RegisterClassExA(&window_class) != 0;
}

HWND AnsiWindow::Create(const char* class_name, const char* text, DWORD style, RECT bounds,
                        HWND parent) {
    return CreateWindowExA(0, class_name, text, style, bounds.left, bounds.top,
                           bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr,
                           GetModuleHandleA(nullptr), this);
}

HWND AnsiWindow::CreateMdiChild(HWND mdi_client, const char* class_name, const char* title,
                                RECT bounds) {
    MDICREATESTRUCTA creation{};
    creation.szClass = class_name;
    creation.szTitle = title;
    creation.hOwner = GetModuleHandleA(nullptr);
    creation.x = bounds.left;
    creation.y = bounds.top;
    creation.cx = bounds.right - bounds.left;
    creation.cy = bounds.bottom - bounds.top;
    creation.lParam = reinterpret_cast<LPARAM>(this);
    return reinterpret_cast<HWND>(
        SendMessageA(mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&creation)));
}

void AnsiWindow::DestroyWindowNow() {
    if (window_ == nullptr) {
        return;
    }
    const HWND window = window_;
    window_ = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

LRESULT AnsiWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    return CallDefault(message, wparam, lparam);
}

LRESULT PaintedWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            return OnPaint();
        case WM_ERASEBKGND:
            return 1;
        default:
            return CallDefault(message, wparam, lparam);
    }
}

LRESULT AnsiWindow::CallDefault(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window_, message, wparam, lparam);
}

AnsiWindow* AnsiWindow::ObjectOf(HWND window, UINT message, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        void* parameter = creation->lpCreateParams;
        // WM_MDICREATE hands the child its MDICREATESTRUCT; ours is its lParam.
        if ((creation->dwExStyle & WS_EX_MDICHILD) != 0 && parameter != nullptr) {
            parameter = reinterpret_cast<void*>(static_cast<MDICREATESTRUCTA*>(parameter)->lParam);
        }
        auto* self = static_cast<AnsiWindow*>(parameter);
        if (self != nullptr) {
            self->window_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        return self;
    }
    return reinterpret_cast<AnsiWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT AnsiWindow::Route(AnsiWindow& self, UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = self.window_;
    const LRESULT result = self.HandleMessage(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self.window_ = nullptr;
    }
    return result;
}

LRESULT CALLBACK AnsiWindow::PlainProcedure(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
    AnsiWindow* const self = ObjectOf(window, message, lparam);
    if (self == nullptr) {
        return DefWindowProcA(window, message, wparam, lparam);
    }
    return Route(*self, message, wparam, lparam);
}

LRESULT CALLBACK AnsiWindow::MdiChildProcedure(HWND window, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
    AnsiWindow* const self = ObjectOf(window, message, lparam);
    if (self == nullptr) {
        return DefMDIChildProcA(window, message, wparam, lparam);
    }
    return Route(*self, message, wparam, lparam);
}

}  // namespace lullcast::standin
