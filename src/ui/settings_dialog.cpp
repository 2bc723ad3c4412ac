#include "ui/settings_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/blanks.h"
#include "core/text_win.h"
#include "fade/chat_markup.h"
#include "settings/look_settings.h"
#include "settings/settings_fields.h"
#include "ui/control_text.h"
#include "ui/handles.h"
#include "ui/resource_ids.h"
#include "ui/win32_cast.h"

namespace lullcast {
namespace {

constexpr const wchar_t* kTitle = L"Lull-Cast 2k3";
constexpr int kSwatches = 8;
// Asks the dialog to read its fields again once a choice from the face list
// has reached the list's field.
constexpr UINT kRefreshMessage = WM_APP + 1;

// The colours of the colour field, one item per comma, each without the
// blanks around it; none for a field without text.
std::vector<std::string> ColourItems(std::string_view text) {
    if (TrimmedBlanks(text).empty()) {
        return {};
    }
    const std::vector<std::string_view> items = FadeColourItems(text);
    return {items.begin(), items.end()};
}

std::string JoinedItems(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text.append(text.empty() ? "" : ", ").append(item);
    }
    return text;
}

int ControlOf(SettingsField field) {
    switch (field) {
        case SettingsField::kColours:
            return IDC_SETTINGS_COLOURS;
        case SettingsField::kFace:
            return IDC_SETTINGS_FACE;
        case SettingsField::kAutoAway:
            return IDC_SETTINGS_AUTOAWAY;
        case SettingsField::kReason:
            return IDC_SETTINGS_REASON;
        case SettingsField::kReport:
            return IDC_SETTINGS_REPORT;
    }
    return IDC_SETTINGS_COLOURS;
}

int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                     LPARAM combo_slot) {
    auto* const combo = PointerFrom<HWND>(combo_slot);
    const wchar_t* const face = &font->lfFaceName[0];
    // Faces whose name starts with "@" are the vertical forms of East Asian
    // fonts, not faces of their own.
    if (face[0] != L'@' && SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        SlotFrom<LPARAM>(face)) == CB_ERR) {
        SendMessageW(combo, CB_ADDSTRING, 0, SlotFrom<LPARAM>(face));
    }
    return 1;
}

class SettingsDialog {
  public:
    SettingsDialog(const SettingsChoice& shown, const ChatLineInLook& line_in)
        : shown_(shown), line_in_(line_in) {}

    std::optional<SettingsChoice> Run(HWND owner) {
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                        &Procedure, SlotFrom<LPARAM>(this));
        return chosen_;
    }

  private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lparam);
            auto* const self = PointerFrom<SettingsDialog*>(lparam);
            self->dialog_ = dialog;
            self->OnInit();
            return TRUE;  // the first field takes the focus
        }
        auto* const self = PointerFrom<SettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        return self == nullptr ? FALSE : self->HandleMessage(message, wparam, lparam);
    }

    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_COMMAND:
                OnCommand(LOWORD(wparam), HIWORD(wparam));
                return TRUE;
            case WM_DRAWITEM:
                OnDrawItem(*PointerFrom<const DRAWITEMSTRUCT*>(lparam));
                return TRUE;
            case kRefreshMessage:
                Refresh();
                return TRUE;
            default:
                return FALSE;
        }
    }

    [[nodiscard]] HWND Control(int control_id) const { return GetDlgItem(dialog_, control_id); }
    [[nodiscard]] std::string Text(int control_id) const {
        return NarrowToUtf8(ControlText(Control(control_id)));
    }
    void SetText(int control_id, std::string_view text) const {
        SetDlgItemTextW(dialog_, control_id, WidenUtf8(text).c_str());
    }
    [[nodiscard]] bool Checked(int control_id) const {
        return IsDlgButtonChecked(dialog_, control_id) == BST_CHECKED;
    }
    void Check(int control_id, bool checked) const {
        CheckDlgButton(dialog_, control_id, checked ? BST_CHECKED : BST_UNCHECKED);
    }

    void OnInit() {
        const SettingsFields& fields = shown_.fields;
        SetText(IDC_SETTINGS_COLOURS, fields.colours);
        Check(IDC_SETTINGS_WAVY, fields.wavy);
        FillFaces();
        SetText(IDC_SETTINGS_FACE, fields.face);
        SetText(IDC_SETTINGS_AUTOAWAY, fields.auto_away);
        SetText(IDC_SETTINGS_REASON, fields.reason);
        SetText(IDC_SETTINGS_REPORT, fields.report);
        Check(IDC_SETTINGS_AWAYLOG, fields.away_log);
        Check(IDC_SETTINGS_RUN, shown_.start_with_windows);
        initialised_ = true;
        Refresh();
    }

    void FillFaces() const {
        auto* const combo = Control(IDC_SETTINGS_FACE);
        auto* const dc = GetDC(dialog_);
        LOGFONTW all_faces{};
        all_faces.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExW(dc, &all_faces, &AddFace, SlotFrom<LPARAM>(combo), 0);
        ReleaseDC(dialog_, dc);
    }

    void OnCommand(WORD control_id, WORD notification) {
        if (control_id >= IDC_SETTINGS_SWATCH1 && control_id < IDC_SETTINGS_SWATCH1 + kSwatches) {
            if (notification == STN_CLICKED) {
                PickColour(static_cast<std::size_t>(control_id - IDC_SETTINGS_SWATCH1));
            }
            return;
        }
        switch (control_id) {
            case IDC_SETTINGS_COLOURS:
            case IDC_SETTINGS_AUTOAWAY:
            case IDC_SETTINGS_REASON:
            case IDC_SETTINGS_REPORT:
                if (notification == EN_CHANGE) {
                    Refresh();
                }
                break;
            case IDC_SETTINGS_FACE:
                if (notification == CBN_EDITCHANGE) {
                    Refresh();
                } else if (notification == CBN_SELCHANGE) {
                    // The field shows the chosen face only after this.
                    PostMessageW(dialog_, kRefreshMessage, 0, 0);
                }
                break;
            case IDC_SETTINGS_WAVY:
                Refresh();
                break;
            case IDC_SETTINGS_ADD:
                PickColour(ColourItems(Text(IDC_SETTINGS_COLOURS)).size());
                break;
            case IDC_SETTINGS_REMOVE:
                RemoveLastColour();
                break;
            case IDOK:
                Accept();
                break;
            case IDCANCEL:
                EndDialog(dialog_, IDCANCEL);
                break;
            default:
                break;
        }
    }

    [[nodiscard]] SettingsFields ReadFields() const {
        return {.colours = Text(IDC_SETTINGS_COLOURS),
                .wavy = Checked(IDC_SETTINGS_WAVY),
                .face = Text(IDC_SETTINGS_FACE),
                .auto_away = Text(IDC_SETTINGS_AUTOAWAY),
                .reason = Text(IDC_SETTINGS_REASON),
                .report = Text(IDC_SETTINGS_REPORT),
                .away_log = Checked(IDC_SETTINGS_AWAYLOG)};
    }

    // The swatches, the buttons beside them and the preview, for the fields
    // as they stand now.
    void Refresh() {
        if (!initialised_) {
            return;
        }
        const SettingsFields fields = ReadFields();
        const std::vector<std::string> items = ColourItems(fields.colours);
        swatches_.clear();
        for (const std::string& item : items) {
            swatches_.push_back(ParseHtmlColour(item));
        }
        for (int swatch = 0; swatch < kSwatches; ++swatch) {
            auto* const control = Control(IDC_SETTINGS_SWATCH1 + swatch);
            ShowWindow(control,
                       static_cast<std::size_t>(swatch) < items.size() ? SW_SHOW : SW_HIDE);
            InvalidateRect(control, nullptr, FALSE);
        }
        EnableWindow(Control(IDC_SETTINGS_ADD), items.size() < kMostFadeColours ? TRUE : FALSE);
        EnableWindow(Control(IDC_SETTINGS_REMOVE), items.size() > 2 ? TRUE : FALSE);

        const auto settings = SettingsFromFields(fields);
        if (const auto* const problem = std::get_if<FieldProblem>(&settings)) {
            preview_.clear();
            problem_ = WidenUtf8(problem->text);
        } else {
            // The room gets the line in the code page, and draws those bytes.
            preview_ = ToAnsiCodePage(line_in_(std::get<AwaySettings>(settings).look));
            problem_.clear();
        }
        InvalidateRect(Control(IDC_SETTINGS_PREVIEW), nullptr, FALSE);
    }

    // Replaces colour `index` with one from the colour picker, or adds one
    // when `index` is past the last.
    void PickColour(std::size_t index) {
        std::vector<std::string> items = ColourItems(Text(IDC_SETTINGS_COLOURS));
        if (index > items.size() || index >= kMostFadeColours) {
            return;
        }
        CHOOSECOLORW choice{};
        choice.lStructSize = sizeof(choice);
        choice.hwndOwner = dialog_;
        choice.rgbResult =
            index < swatches_.size() && swatches_[index] ? *swatches_[index] : RGB(0, 0, 0);
        choice.lpCustColors = custom_colours_.data();
        choice.Flags = CC_RGBINIT | CC_FULLOPEN;
        if (ChooseColorW(&choice) == FALSE) {
            return;
        }
        // COLORREF is the colour value's own layout.
        const std::array<Colour, 1> picked = {choice.rgbResult & 0xFFFFFFU};
        if (index == items.size()) {
            items.push_back(FadeColoursText(picked));
        } else {
            items[index] = FadeColoursText(picked);
        }
        SetText(IDC_SETTINGS_COLOURS, JoinedItems(items));
    }

    void RemoveLastColour() {
        std::vector<std::string> items = ColourItems(Text(IDC_SETTINGS_COLOURS));
        if (items.size() > 2) {
            items.pop_back();
            SetText(IDC_SETTINGS_COLOURS, JoinedItems(items));
        }
    }

    // OK: the choice when every field holds a valid value; otherwise the
    // first field that does not is named and selected, and the dialog stays.
    void Accept() {
        const SettingsFields fields = ReadFields();
        const auto settings = SettingsFromFields(fields);
        if (const auto* const problem = std::get_if<FieldProblem>(&settings)) {
            MessageBoxW(dialog_, WidenUtf8(problem->text).c_str(), kTitle,
                        MB_OK | MB_ICONEXCLAMATION);
            const int control_id = ControlOf(problem->field);
            SendMessageW(dialog_, WM_NEXTDLGCTL, SlotFrom<WPARAM>(Control(control_id)), TRUE);
            if (control_id == IDC_SETTINGS_FACE) {
                SendMessageW(Control(control_id), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
            } else {
                SendMessageW(Control(control_id), EM_SETSEL, 0, -1);
            }
            return;
        }
        chosen_ = SettingsChoice{.fields = fields, .start_with_windows = Checked(IDC_SETTINGS_RUN)};
        EndDialog(dialog_, IDOK);
    }

    void OnDrawItem(const DRAWITEMSTRUCT& item) const {
        if (item.CtlID == IDC_SETTINGS_PREVIEW) {
            DrawPreview(item.hDC, item.rcItem);
        } else if (item.CtlID >= IDC_SETTINGS_SWATCH1) {
            DrawSwatch(item.hDC, item.rcItem, item.CtlID - IDC_SETTINGS_SWATCH1);
        }
    }

    void DrawSwatch(HDC dc, RECT area, std::size_t index) const {
        FrameRect(dc, &area, GetSysColorBrush(COLOR_WINDOWTEXT));
        InflateRect(&area, -1, -1);
        const bool valid = index < swatches_.size() && swatches_[index].has_value();
        const UniqueBrush fill(valid ? CreateSolidBrush(*swatches_[index]) : nullptr);
        FillRect(dc, &area, fill ? fill.get() : GetSysColorBrush(COLOR_BTNFACE));
    }

    // The line as the room draws it: each character in its colour, in the
    // line's face, raised and lowered with the wave; or what is wrong.
    void DrawPreview(HDC dc, RECT area) const {
        FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
        SetBkMode(dc, TRANSPARENT);
        const int height = area.bottom - area.top;
        InflateRect(&area, -height / 6, 0);
        if (!problem_.empty()) {
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            auto* const previous =
                SelectObject(dc, PointerFrom<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)));
            DrawTextW(dc, problem_.c_str(), static_cast<int>(problem_.size()), &area,
                      DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
            SelectObject(dc, previous);
            return;
        }
        const ShownLine line = ParseChatLine(preview_);
        LOGFONTW look{};
        look.lfHeight = -height / 2;
        look.lfCharSet = DEFAULT_CHARSET;
        const std::wstring face = WidenAnsi(line.face);
        std::copy_n(face.begin(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1),
                    std::begin(look.lfFaceName));
        const UniqueFont font(CreateFontIndirectW(&look));
        auto* const previous = SelectObject(dc, font.get());
        // How far the wave raises and lowers a character.
        const int wave_step = height / 6;
        const int top = area.top + height / 4;
        int left = area.left;
        const std::span<const ShownCharacter> characters = line.characters;
        for (std::size_t first = 0; first < characters.size() && left < area.right;) {
            // A run of characters that look alike goes out at once, so that a
            // character of two bytes in a double-byte code page stays whole.
            std::size_t end = first + 1;
            while (end < characters.size() && characters[end].colour == characters[first].colour &&
                   characters[end].shift == characters[first].shift) {
                ++end;
            }
            std::string bytes;
            for (std::size_t i = first; i < end; ++i) {
                bytes.push_back(characters[i].byte);
            }
            const std::wstring run = WidenAnsi(bytes);
            SetTextColor(dc, characters[first].colour.value_or(GetSysColor(COLOR_WINDOWTEXT)));
            ExtTextOutW(dc, left, top - characters[first].shift * wave_step, ETO_CLIPPED, &area,
                        run.c_str(), static_cast<UINT>(run.size()), nullptr);
            SIZE extent{};
            GetTextExtentPoint32W(dc, run.c_str(), static_cast<int>(run.size()), &extent);
            left += extent.cx;
            first = end;
        }
        SelectObject(dc, previous);
    }

    HWND dialog_ = nullptr;
    const SettingsChoice& shown_;
    const ChatLineInLook& line_in_;
    bool initialised_ = false;
    std::optional<SettingsChoice> chosen_;
    std::vector<std::optional<Colour>> swatches_;
    // The preview's line in the ANSI code page, or what keeps the fields
    // from making one.
    std::string preview_;
    std::wstring problem_;
    // The colour picker's own sixteen, kept while the dialog is open.
    std::array<COLORREF, 16> custom_colours_{};
};

}  // namespace

std::optional<SettingsChoice> ShowSettingsDialog(HWND owner, const SettingsChoice& shown,
                                                 const ChatLineInLook& line_in) {
    SettingsDialog dialog(shown, line_in);
    return dialog.Run(owner);
}

}  // namespace lullcast
