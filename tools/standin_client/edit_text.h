#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lullcast::standin {

// The text of an edit-like field and its selection, in bytes, kept by the
// rules of the system's edit control, so that a program that selects or
// reads the selection meets what it would meet there. The caret is at the
// selection's end; with nothing selected both ends are the caret.
class EditText {
  public:
    [[nodiscard]] const std::string& Text() const { return text_; }
    [[nodiscard]] std::size_t SelectionStart() const { return start_; }
    [[nodiscard]] std::size_t SelectionEnd() const { return end_; }
    [[nodiscard]] std::size_t Caret() const { return end_; }

    // New text, as WM_SETTEXT brings it: the caret at its start.
    void SetText(std::string text);
    // Hands the text over and empties the field.
    [[nodiscard]] std::string Take();
    // A typed byte replaces the selection; the caret goes after it.
    void Type(char byte);
    // Deletes the selection, or else the byte before the caret.
    void Backspace();
    // EM_SETSEL's values as the edit control reads them: a start of -1
    // drops the selection and leaves the caret; any other value beyond the
    // text (-1 included) means its end; a start after the end is swapped.
    void Select(std::uint32_t start, std::uint32_t end);

  private:
    std::string text_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

}  // namespace lullcast::standin
