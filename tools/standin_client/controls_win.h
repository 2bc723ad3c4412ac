#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ansi_window_win.h"
#include "edit_text.h"

namespace lullcast::standin {

class EventLog;

// The client's class names as the client spells them; programs that drive
// the client look them up without regard to case.
namespace client_class {
inline constexpr const char* kFrame = "AOL Frame25";
inline constexpr const char* kChild = "AOL Child";
inline constexpr const char* kToolbarHost = "AOL Toolbar";
inline constexpr const char* kToolbarStrip = "_AOL_Toolbar";
inline constexpr const char* kIcon = "_AOL_Icon";
inline constexpr const char* kStatic = "_AOL_Static";
inline constexpr const char* kTranscript = "RICHCNTLREADONLY";
inline constexpr const char* kComboBox = "_AOL_Combobox";
inline constexpr const char* kRichText = "RICHCNTL";
inline constexpr const char* kImage = "_AOL_Image";
inline constexpr const char* kEdit = "_AOL_Edit";
}  // namespace client_class

// How an icon was let go: a click ends with the button up, the client's own
// press with the Space key up.
enum class IconRelease { kButton, kSpace };

// Who hears of an icon's button-down and release.
class IconOwner {
  public:
    virtual void IconPressed(HWND icon) = 0;
    virtual void IconReleased(HWND icon, IconRelease how) = 0;

  protected:
    IconOwner() = default;
    ~IconOwner() = default;
    IconOwner(const IconOwner&) = default;
    IconOwner& operator=(const IconOwner&) = default;
    IconOwner(IconOwner&&) = default;
    IconOwner& operator=(IconOwner&&) = default;
};

// "_AOL_Icon": a small labelled button. The button-down is what counts, as
// in the client: a press made of button-down and Space-up has no button-up.
class Icon final : public PaintedWindow {
  public:
    Icon(IconOwner& owner, std::string label) : owner_(owner), label_(std::move(label)) {}
    bool Create(HWND parent);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnButtonDown();
    LRESULT OnRelease(IconRelease how);
    LRESULT OnPaint() override;

    IconOwner& owner_;
    std::string label_;
    bool pressed_ = false;
};

// The icons of one window, in z-order from the first: logs each button-down
// and release with the owner's name and the icon's 1-based position, then
// tells the owner which position was pressed or let go.
class IconRow final : private IconOwner {
  public:
    using PositionHandler = std::function<void(int position)>;
    using LabelFor = std::function<std::string(int position)>;

    IconRow(EventLog& log, std::string owner_name, PositionHandler on_press = {},
            PositionHandler on_release = {})
        : log_(log),
          owner_name_(std::move(owner_name)),
          on_press_(std::move(on_press)),
          on_release_(std::move(on_release)) {}
    ~IconRow() = default;
    IconRow(const IconRow&) = delete;
    IconRow& operator=(const IconRow&) = delete;
    IconRow(IconRow&&) = delete;
    IconRow& operator=(IconRow&&) = delete;

    bool Create(HWND parent, int count, SIZE icon_size, const LabelFor& label_for);
    // One more icon, after (and below in z-order) those there are.
    bool Add(HWND parent, SIZE icon_size, const LabelFor& label_for);
    [[nodiscard]] int Count() const { return static_cast<int>(icons_.size()); }
    // The height that the icons take when laid out in rows of `width`.
    [[nodiscard]] int HeightFor(int width) const;
    // Lays the icons out in rows from the top left of `area`.
    void LayOut(RECT area) const;

  private:
    void IconPressed(HWND icon) override;
    void IconReleased(HWND icon, IconRelease how) override;
    // The icon's place among its parent's icons, counted as a program that
    // walks them with FindWindowEx counts it.
    [[nodiscard]] static int PositionOf(HWND icon);
    [[nodiscard]] int PerRow(int width) const;

    EventLog& log_;
    std::string owner_name_;
    PositionHandler on_press_;
    PositionHandler on_release_;
    std::vector<std::unique_ptr<Icon>> icons_;
    SIZE icon_size_{};
};

// An edit-like text field ("RICHCNTL" or "_AOL_Edit"). It keeps its text as
// the bytes that WM_SETTEXT brought (or the user typed), answers WM_GETTEXT
// with them, and on the Enter character hands them to its owner and clears
// itself, as the client's chat input does. Like an edit control it has a
// selection (EM_SETSEL, EM_GETSEL) that typing replaces, and shows its caret
// while it has the focus.
class TextField final : public PaintedWindow {
  public:
    using EnterHandler = std::function<void(const std::string& text)>;

    // Without `on_enter` the Enter character is ignored.
    TextField(const char* class_name, bool multi_line, EnterHandler on_enter = {})
        : class_name_(class_name), multi_line_(multi_line), on_enter_(std::move(on_enter)) {}
    bool Create(HWND parent);
    [[nodiscard]] const std::string& Text() const { return edit_.Text(); }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnSetText(WPARAM wparam, LPARAM lparam);
    [[nodiscard]] LRESULT OnGetText(WPARAM wparam, LPARAM lparam) const;
    LRESULT OnChar(WPARAM character);
    LRESULT OnSetSelection(WPARAM start, LPARAM end);
    [[nodiscard]] LRESULT OnGetSelection(WPARAM start_out, LPARAM end_out) const;
    LRESULT OnPaint() override;
    void DrawCaret(HDC dc, RECT text_area) const;
    LRESULT OnFocusChange();
    // Gives the window's own copy of the text the field's bytes, so that
    // GetWindowText answers from other processes as well, and redraws.
    void TextChanged();

    const char* class_name_;
    bool multi_line_;
    EnterHandler on_enter_;
    EditText edit_;
};

// "_AOL_Static": a line of text on the window's background.
class Label final : public PaintedWindow {
  public:
    bool Create(HWND parent, const char* text);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnPaint() override;
};

// "_AOL_Combobox": the room's list of people, drawn as a list box.
class PeopleList final : public PaintedWindow {
  public:
    bool Create(HWND parent);

  private:
    LRESULT OnPaint() override;
};

// "_AOL_Image": the room's picture, a small coloured tile.
class Picture final : public PaintedWindow {
  public:
    bool Create(HWND parent);

  private:
    LRESULT OnPaint() override;
};

// Places a child window; `bounds` in the parent's client coordinates.
void Place(HWND window, RECT bounds);

}  // namespace lullcast::standin
