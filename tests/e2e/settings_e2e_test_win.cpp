// The settings dialog end to end, as a user works it: opened from the menu,
// colours picked in the system's colour picker and typed, the wave and the
// face set through their controls, OK; then the next posted line and the
// bytes of info.ini. The rules of the fields are pinned natively
// (tests/settings, tests/app); here the wiring and the file.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "core/text_win.h"
#include "e2e/session_win.h"
#include "fade/announcer.h"
#include "fade/chat_markup.h"
#include "fade/fade.h"

namespace lullcast::e2e {
namespace {

constexpr const wchar_t* kTitle = L"Lull-Cast 2k3";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The colour picker's fields for red, green and blue.
constexpr std::array<int, 3> kPickerChannels = {706, 707, 708};

constexpr std::array<Colour, 2> kPlainColours = {0x00404000, 0x00FFFF00};
const std::string kStoredIni =
    "; kept by hand\r\n[LullCast]\r\nHANDLE=Bob\r\nAUTOAWAY=soon\r\n[Other]\r\nkey=value\r\n";

class SettingsEndToEndTest : public EndToEndTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteInfoIni(kStoredIni));
        ASSERT_TRUE(StartBoth());
    }

    // The dialog, once it is in front: the keys a user presses go there.
    [[nodiscard]] HWND OpenSettings() const {
        const ::testing::AssertionResult chosen = ChooseMenuItem(kSettings);
        EXPECT_TRUE(chosen);
        const HWND dialog = chosen ? Dialog(kTitle) : nullptr;
        WaitUntil([dialog] { return GetForegroundWindow() == dialog; });
        return dialog;
    }
    // Clicks a check box and waits for its tick to turn.
    static bool Toggle(HWND dialog, int box) {
        const UINT was = IsDlgButtonChecked(dialog, box);
        ClickOn(GetDlgItem(dialog, box));
        return WaitUntil([&] { return IsDlgButtonChecked(dialog, box) != was; });
    }
    // Clicks `swatch_or_button` and picks red, green and blue in the colour
    // picker it opens.
    [[nodiscard]] bool PickColour(HWND dialog, int swatch_or_button,
                                  std::array<int, 3> channels) const {
        ClickOn(GetDlgItem(dialog, swatch_or_button));
        const HWND picker = Dialog(nullptr, dialog);
        if (picker == nullptr) return false;
        for (std::size_t i = 0; i < channels.size(); ++i) {
            SendMessageW(GetDlgItem(picker, kPickerChannels[i]), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(std::to_wstring(channels[i]).c_str()));
        }
        return Press(picker, IDOK);
    }
    [[nodiscard]] static std::string Field(HWND dialog, int id) {
        return TextOf(GetDlgItem(dialog, id));
    }
    // Types `text` over what the field holds, a character at a time, until
    // the field shows it.
    static bool TypeOver(HWND dialog, int id, std::string_view text) {
        HWND field = GetDlgItem(dialog, id);
        if (HWND edit = FindWindowExW(field, nullptr, L"Edit", nullptr)) {
            field = edit;  // a combo box
        }
        SendMessageW(field, EM_SETSEL, 0, -1);
        for (const wchar_t character : WidenUtf8(text)) PostMessageW(field, WM_CHAR, character, 0);
        return WaitUntil([&] { return TextOf(field) == text; });
    }
    // The Run key's value "Lull-Cast", set (with a value) or removed.
    [[nodiscard]] static std::optional<std::wstring> RunValue() {
        std::array<wchar_t, 1024> value{};
        DWORD bytes = sizeof(value) - sizeof(wchar_t);
        return SHGetValueW(HKEY_CURRENT_USER, kRunKey, L"Lull-Cast", nullptr, value.data(),
                           &bytes) == ERROR_SUCCESS
                   ? std::optional<std::wstring>(value.data())
                   : std::nullopt;
    }
    static void SetRunValue(const std::optional<std::wstring>& value) {
        if (!value) {
            SHDeleteValueW(HKEY_CURRENT_USER, kRunKey, L"Lull-Cast");
            return;
        }
        SHSetValueW(HKEY_CURRENT_USER, kRunKey, L"Lull-Cast", REG_SZ, value->c_str(),
                    static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    }
    // The control's pixels as the screen shows them, each as a COLORREF.
    [[nodiscard]] static std::vector<COLORREF> ScreenPixels(HWND control) {
        RECT area{};
        GetWindowRect(control, &area);
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        const HDC screen = GetDC(nullptr);
        const HDC copy = CreateCompatibleDC(screen);
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(copy, bitmap);
        BitBlt(copy, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const auto* const dib = static_cast<const DWORD*>(bits);
        std::vector<COLORREF> pixels(static_cast<std::size_t>(width) *
                                     static_cast<std::size_t>(height));
        // A DIB's pixel is 0x00RRGGBB, a COLORREF 0x00BBGGRR.
        std::transform(dib, dib + pixels.size(), pixels.begin(), [](DWORD rgb) {
            return RGB(GetBValue(rgb), GetGValue(rgb), GetRValue(rgb));
        });
        DeleteDC(copy);  // which lets go of the bitmap
        DeleteObject(bitmap);
        ReleaseDC(nullptr, screen);
        return pixels;
    }
    // How many of the control's pixels on the screen are exactly `colour`.
    [[nodiscard]] static long PixelsOf(HWND control, COLORREF colour) {
        return static_cast<long>(std::ranges::count(ScreenPixels(control), colour));
    }
    // The control IDs that Tab visits, from the first.
    [[nodiscard]] static std::vector<int> TabOrder(HWND dialog) {
        std::vector<int> order;
        const HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
        for (HWND item = first; item != nullptr && order.size() < 20;) {
            order.push_back(GetDlgCtrlID(item));
            item = GetNextDlgTabItem(dialog, item, FALSE);
            if (item == first) break;
        }
        return order;
    }
    // Each label with an access key, and the control right after it, which
    // the key reaches.
    [[nodiscard]] static std::vector<std::pair<std::string, int>> LabelledFields(HWND dialog) {
        std::vector<std::pair<std::string, int>> labelled;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            std::array<wchar_t, 16> class_name{};
            GetClassNameW(child, class_name.data(), static_cast<int>(class_name.size()));
            const std::string text = TextOf(child);
            if (_wcsicmp(class_name.data(), L"Static") == 0 &&
                text.find('&') != std::string::npos) {
                labelled.emplace_back(text, GetDlgCtrlID(GetWindow(child, GW_HWNDNEXT)));
            }
        }
        return labelled;
    }
    // Starts idling with the reason "tea": the greeting and the reason go
    // out in `look`.
    void ExpectLinesIn(const LineLook& look) {
        ASSERT_NO_FATAL_FAILURE(StartIdling(IDOK, "tea"));
        ASSERT_TRUE(WaitForEvents("line", 4));
        const std::vector<LogEvent> lines = Events("line");
        EXPECT_EQ(BytesOfHex(lines[2].Field("hex")),
                  ToAnsiCodePage(ComposeChatLine(look, "¬ activated ¬ by.Bob")));
        EXPECT_EQ(BytesOfHex(lines[3].Field("hex")),
                  ToAnsiCodePage(ComposeChatLine(look, "¬ rsn ¬ tea")));
    }
};

TEST_F(SettingsEndToEndTest, ChosenLookGoesOutWithTheNextLineAndOnlyItsEntriesAreWritten) {
    const HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    // Every field shows the value in effect: the default where none is set.
    EXPECT_EQ(Field(dialog, IDC_SETTINGS_COLOURS), "#004040, #00FFFF");
    EXPECT_EQ(Field(dialog, IDC_SETTINGS_FACE), "Arial Narrow");
    // The system's faces are offered, each once.
    EXPECT_GT(Sent(GetDlgItem(dialog, IDC_SETTINGS_FACE), CB_GETCOUNT, 0, 0).value_or(0), 1U);
    EXPECT_EQ(Field(dialog, IDC_SETTINGS_AUTOAWAY), "0");

    ASSERT_TRUE(PickColour(dialog, IDC_SETTINGS_SWATCH1, {255, 0, 0}));
    ASSERT_TRUE(PickColour(dialog, IDC_SETTINGS_ADD, {255, 255, 0}));
    EXPECT_TRUE(
        Becomes([&] { return Field(dialog, IDC_SETTINGS_COLOURS); }, "#FF0000, #00FFFF, #FFFF00"));
    EXPECT_NE(IsWindowVisible(GetDlgItem(dialog, IDC_SETTINGS_SWATCH1 + 2)), FALSE);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, IDC_SETTINGS_SWATCH1 + 3)), FALSE);
    // Tab visits every field as shown; each label's access key reaches its field.
    EXPECT_EQ(TabOrder(dialog),
              (std::vector<int>{IDC_SETTINGS_COLOURS, IDC_SETTINGS_ADD, IDC_SETTINGS_REMOVE,
                                IDC_SETTINGS_WAVY, IDC_SETTINGS_FACE, IDC_SETTINGS_AUTOAWAY,
                                IDC_SETTINGS_REASON, IDC_SETTINGS_REPORT, IDC_SETTINGS_AWAYLOG,
                                IDC_SETTINGS_RUN, IDOK, IDCANCEL}));
    EXPECT_EQ(LabelledFields(dialog),
              (std::vector<std::pair<std::string, int>>{
                  {"&Colours:", IDC_SETTINGS_COLOURS},
                  {"&Font:", IDC_SETTINGS_FACE},
                  {"A&uto-away after (minutes, 0 = off):", IDC_SETTINGS_AUTOAWAY},
                  {"&Reason:", IDC_SETTINGS_REASON},
                  {"Re&port every (minutes):", IDC_SETTINGS_REPORT}}));
    // Remove drops the last colour down to two, and no further.
    for (int press = 0; press < 2; ++press) {
        EXPECT_TRUE(Sent(GetDlgItem(dialog, IDC_SETTINGS_REMOVE), BM_CLICK, 0, 0));
    }
    EXPECT_TRUE(Becomes([&] { return Field(dialog, IDC_SETTINGS_COLOURS); }, "#FF0000, #00FFFF"));
    // Eight are the most: Add is off, and each of the eight has its swatch.
    ASSERT_TRUE(TypeOver(dialog, IDC_SETTINGS_COLOURS,
                         "#000001,#000002,#000003,#000004,#000005,#000006,#000007,#000008"));
    EXPECT_TRUE(
        WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_SETTINGS_ADD)) == 0; }));
    EXPECT_NE(IsWindowVisible(GetDlgItem(dialog, IDC_SETTINGS_SWATCH1 + 7)), FALSE);
    ASSERT_TRUE(TypeOver(dialog, IDC_SETTINGS_COLOURS, "#ff0000, #FFFF00,#0000FF"));
    ASSERT_TRUE(Toggle(dialog, IDC_SETTINGS_WAVY));
    ASSERT_TRUE(TypeOver(dialog, IDC_SETTINGS_FACE, "Liberation Serif"));
    ASSERT_TRUE(Press(dialog, IDOK));

    const std::array<Colour, 3> colours = {0x0000FF, 0x00FFFF, 0xFF0000};
    ExpectLinesIn({.colours = colours, .wavy = true, .face = "Liberation Serif"});
    // The entry that did not change stays as it was, even where it is not
    // valid; the comment and the other section stay too.
    const std::string head =
        "; kept by hand\r\n[LullCast]\r\nHANDLE=Bob\r\nAUTOAWAY=soon\r\n"
        "FADE=#FF0000, #FFFF00, #0000FF\r\nWAVY=1\r\n";
    EXPECT_EQ(InfoIni(), head + "FONT=Liberation Serif\r\n[Other]\r\nkey=value\r\n");

    // A setting typed back to its default loses its entry.
    const HWND again = OpenSettings();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Field(again, IDC_SETTINGS_FACE), "Liberation Serif");
    ASSERT_TRUE(TypeOver(again, IDC_SETTINGS_FACE, "Arial Narrow"));
    ASSERT_TRUE(Press(again, IDOK));
    EXPECT_TRUE(Becomes([this] { return InfoIni(); }, head + "[Other]\r\nkey=value\r\n"));
}

// Enter takes the dialog as it is, Esc leaves it; the preview follows the
// fields, and says so while one is not valid, which OK will not take. A file
// that cannot be written: the box names what was not saved, and the chosen
// look holds for the session all the same.
TEST_F(SettingsEndToEndTest, EnterEscAnInvalidFieldAndAWriteThatFailsLeaveTheFileAlone) {
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    PressKey(VK_RETURN);
    ASSERT_TRUE(Closes(dialog));
    EXPECT_EQ(InfoIni(), kStoredIni);

    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr) << ::testing::PrintToString(Story());
    const HWND preview = GetDlgItem(dialog, IDC_SETTINGS_PREVIEW);
    constexpr COLORREF kRed = RGB(255, 0, 0);
    // Red to blue: each character in a colour of its own (the two bytes of
    // "¬" share theirs), each drawn; a thin one may have no pixel of just its
    // colour where the edges are smoothed.
    ASSERT_TRUE(TypeOver(dialog, IDC_SETTINGS_COLOURS, "#FF0000, #0000FF"));
    const ShownLine faded =
        ParseChatLine(FadeText(kRed, RGB(0, 0, 255), "¬ activated ¬ by.Bob", false));
    const auto drawn = [&] {
        const std::vector<COLORREF> pixels = ScreenPixels(preview);
        return std::ranges::count_if(faded.characters, [&](const ShownCharacter& character) {
            return character.byte != ' ' &&
                   std::ranges::find(pixels, *character.colour) != pixels.end();
        });
    };
    EXPECT_TRUE(WaitUntil([&] { return drawn() >= 17; })) << drawn();
    ASSERT_TRUE(TypeOver(dialog, IDC_SETTINGS_COLOURS, "#FF0000, #FF0000"));
    ASSERT_TRUE(TypeOver(dialog, IDC_SETTINGS_REPORT, "5"));
    EXPECT_TRUE(WaitUntil([&] { return PixelsOf(preview, kRed) > 20; }));
    ASSERT_TRUE(TypeOver(dialog, IDC_SETTINGS_COLOURS, "#GG0000, #FF0000"));
    EXPECT_TRUE(Becomes([&] { return PixelsOf(preview, kRed); }, 0));

    // OK names the field and what is wrong, keeps the dialog open and selects
    // the field.
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    const HWND box = Dialog(kTitle, dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(Field(box, 0xFFFF).find("Colours: \"#GG0000\" is not a colour"), std::string::npos);
    ASSERT_TRUE(Press(box, IDOK));
    EXPECT_NE(IsWindowVisible(dialog), FALSE);
    EXPECT_EQ(Sent(GetDlgItem(dialog, IDC_SETTINGS_COLOURS), EM_GETSEL, 0, 0),
              DWORD_PTR{MAKELONG(0, 16)});
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(Closes(dialog));
    EXPECT_EQ(InfoIni(), kStoredIni);

    const Handle lock(CreateFileW(File("info.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Toggle(dialog, IDC_SETTINGS_WAVY));
    ASSERT_TRUE(Press(dialog, IDOK));
    const HWND failed = Dialog(kTitle);
    ASSERT_NE(failed, nullptr);
    EXPECT_NE(Field(failed, 0xFFFF).find(": Wave."), std::string::npos) << Field(failed, 0xFFFF);
    ASSERT_TRUE(Press(failed, IDOK));
    // The colours as they always were.
    ExpectLinesIn({.colours = kPlainColours, .wavy = true});
}

TEST_F(SettingsEndToEndTest, StartWithWindowsWritesAndRemovesTheRunValue) {
    SetRunValue(std::nullopt);
    for (const bool on : {true, false}) {
        const HWND dialog = OpenSettings();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SETTINGS_RUN), on ? BST_UNCHECKED : BST_CHECKED);
        ASSERT_TRUE(Toggle(dialog, IDC_SETTINGS_RUN));
        ASSERT_TRUE(Press(dialog, IDOK));
        // Written once the dialog has gone, and no box says that it was not
        // (the flow shows it before its thread answers again).
        ASSERT_TRUE(WaitUntil([on] { return RunValue().has_value() == on; }));
        ASSERT_TRUE(Answers(kFlowTimeout));
        EXPECT_EQ(WaitForWindow(lullcast_->id, L"#32770", 0s, kTitle), nullptr);
        if (on) {
            const std::wstring quoted = L"\"" + File("lullcast.exe").wstring() + L"\"";
            EXPECT_EQ(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, RunValue()->c_str(), -1,
                                     quoted.c_str(), -1),
                      CSTR_EQUAL)
                << NarrowToUtf8(*RunValue());
        }
    }
    EXPECT_EQ(InfoIni(), kStoredIni);

    // A value that names another copy of the program shows as off.
    const std::wstring other = L"\"C:\\elsewhere\\lullcast.exe\"";
    SetRunValue(other);
    const HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SETTINGS_RUN), BST_UNCHECKED);
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    EXPECT_EQ(RunValue(), other);
    SetRunValue(std::nullopt);
}

}  // namespace
}  // namespace lullcast::e2e
