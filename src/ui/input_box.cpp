#include "ui/input_box.h"

#include "core/text_win.h"
#include "ui/control_text.h"
#include "ui/resource_ids.h"
#include "ui/win32_cast.h"

namespace lullcast {
namespace {

struct InputBoxState {
    std::wstring prompt;
    std::wstring title;
    std::wstring default_text;
    std::wstring answer;
};

void InitialiseInputBox(HWND dialog, const InputBoxState& state) {
    SetWindowTextW(dialog, state.title.c_str());
    SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, state.prompt.c_str());
    SetDlgItemTextW(dialog, IDC_INPUT_TEXT, state.default_text.c_str());
    auto* const field = GetDlgItem(dialog, IDC_INPUT_TEXT);
    SendMessageW(field, EM_SETSEL, 0, -1);
    SetFocus(field);
}

INT_PTR CALLBACK InputBoxProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = PointerFrom<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            state = PointerFrom<InputBoxState*>(lparam);
            SetWindowLongPtrW(dialog, DWLP_USER, lparam);
            InitialiseInputBox(dialog, *state);
            return FALSE;  // the focus is set already
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK && state != nullptr) {
                state->answer = ControlText(GetDlgItem(dialog, IDC_INPUT_TEXT));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::string> ShowInputBox(HWND owner, std::string_view prompt, std::string_view title,
                                        std::string_view default_text) {
    InputBoxState state{WidenUtf8(prompt), WidenUtf8(title), WidenUtf8(default_text), {}};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_BOX), owner,
                        &InputBoxProcedure, SlotFrom<LPARAM>(&state));
    if (result != IDOK) {
        return std::nullopt;
    }
    return NarrowToUtf8(state.answer);
}

}  // namespace lullcast
