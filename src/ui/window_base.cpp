#include "ui/window_base.h"

#include "ui/win32_cast.h"

namespace lullcast {

bool WindowBase::RegisterClassOnce(const wchar_t* class_name, HCURSOR cursor, HBRUSH background) {
    auto* const instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, class_name, &existing) != FALSE) {
        return true;
    }
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &WindowBase::WindowProcedure;
    window_class.hInstance = instance;
    window_class.hCursor = cursor;
    window_class.hbrBackground = background;
    window_class.lpszClassName = class_name;
    window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    return RegisterClassExW(&window_class) != 0;
}

HWND WindowBase::CreateFor(DWORD ex_style, const wchar_t* class_name, const wchar_t* text,
                           DWORD style, RECT bounds, HWND parent, int control_id) {
    // A child's menu parameter is its control ID.
    return CreateWindowExW(ex_style, class_name, text, style, bounds.left, bounds.top,
                           bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                           ControlIdSlot(control_id), GetModuleHandleW(nullptr), this);
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT CALLBACK WindowBase::WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
    auto* self = PointerFrom<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const auto* creation = PointerFrom<const CREATESTRUCTW*>(lparam);
        self = static_cast<WindowBase*>(creation->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, SlotFrom<LONG_PTR>(self));
    }
    if (self == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    const LRESULT result = self->HandleMessage(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

RECT CentredInWorkArea(int width, int height) {
    RECT work_area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area, 0);
    const int left = work_area.left + (work_area.right - work_area.left - width) / 2;
    const int top = work_area.top + (work_area.bottom - work_area.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

LRESULT SelfPaintedWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            auto* const dc = BeginPaint(Handle(), &paint);
            Paint(dc);
            EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(PointerFrom<HDC>(wparam));
            return 0;
        default:
            return WindowBase::HandleMessage(message, wparam, lparam);
    }
}

}  // namespace lullcast
