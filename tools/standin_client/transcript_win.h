#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ansi_window_win.h"
#include "gdi_win.h"

namespace lullcast::standin {

// "RICHCNTLREADONLY": a chat room's transcript. Shows each posted line as the
// chat shows it, every character in the colour of its font tag and in the
// face of the line's font tag, newest line at the bottom, long lines wrapped.
// WM_GETTEXT gives the posted lines as they arrived, one per "\r\n"; the
// line messages (EM_GETLINECOUNT, EM_LINEINDEX, EM_GETLINE) answer for those
// lines as an edit control that does not wrap them would.
//
// Plain, it is the system's multiline edit control instead (read-only,
// wrapping long lines, no colours) under the client's class name: a control
// that answers the line messages itself, by the lines it shows.
class Transcript final : public PaintedWindow {
  public:
    // Keeps the last `keep_lines` lines.
    bool Create(HWND parent, std::size_t keep_lines, bool plain);
    // The window that shows the transcript.
    [[nodiscard]] HWND Shown() const { return plain_ != nullptr ? plain_ : Handle(); }
    // `lines` lines of talk at once, as a room shows them after a busy while.
    void Fill(int lines);
    // A line the user posted: the markup drawn, and read back as the chat
    // shows it, "<screen name>: <visible characters>".
    void Append(std::string_view posted_line);
    // A line someone else said, plain text: "<name>: <text>".
    void AppendSaid(std::string_view name, std::string_view text);

  private:
    struct Glyph {
        wchar_t character = L' ';
        COLORREF colour = 0;
        int shift = 0;  // 1 raised, -1 lowered
    };
    struct Line {
        std::string shown;  // what WM_GETTEXT gives for the line
        HFONT font = nullptr;
        std::vector<Glyph> glyphs;
    };
    using Row = std::pair<std::size_t, std::size_t>;  // glyph range [first, last)

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnPaint() override;
    [[nodiscard]] LRESULT OnGetText(WPARAM wparam, LPARAM lparam) const;
    [[nodiscard]] std::string AllPosted() const;

    // The font for a face, made once and kept: the face itself when the
    // system has it, else a look-alike that it has.
    HFONT FontFor(const std::string& face);
    // Draws `line` so that it ends at `bottom`; gives the top it reached.
    static int PaintLine(HDC dc, const Line& line, int left, int bottom, int width);
    static std::vector<Row> WrapRows(const std::vector<int>& widths,
                                     const std::vector<Glyph>& glyphs, int width);

    void Add(Line line);

    [[nodiscard]] LRESULT OnGetLine(WPARAM wparam, LPARAM lparam) const;

    std::size_t keep_lines_ = 0;
    std::deque<Line> lines_;
    // Where each line starts in WM_GETTEXT's text, counted from the first
    // line the transcript ever held, so that dropping the oldest costs nothing.
    std::deque<std::size_t> starts_;
    HWND plain_ = nullptr;
    std::map<std::string, UniqueFont> fonts_;
};

}  // namespace lullcast::standin
