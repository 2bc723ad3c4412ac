#include "transcript_win.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "controls_win.h"
#include "fade/chat_markup.h"

namespace lullcast::standin {
namespace {

// The user's screen name, in front of each line the user posts.
constexpr std::string_view kScreenName = "Tester";
constexpr int kPadding = 6;
constexpr int kLineGap = 2;
// About 10.5 points at 96 dots per inch: the client's usual chat size.
constexpr int kChatFontHeight = -14;

constexpr COLORREF kBackground = RGB(14, 18, 28);
constexpr COLORREF kBorder = RGB(70, 80, 104);
// Characters that no font tag coloured.
constexpr COLORREF kPlainText = RGB(222, 228, 238);

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool NamesNarrowFace(std::string_view face) {
    std::string lower(face);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    return lower.find("narrow") != std::string::npos ||
           lower.find("condensed") != std::string::npos;
}

bool SameFace(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

UniqueFont MakeFont(const char* face) {
    return UniqueFont(CreateFontA(kChatFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
}

// Whether the system drew `font` in the face it was asked for, rather than
// in a substitute of its own choosing.
bool HasFace(HFONT font, const char* face) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font);
    std::array<char, LF_FACESIZE> actual{};
    GetTextFaceA(screen, static_cast<int>(actual.size()), actual.data());
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return SameFace(actual.data(), face);
}

// A machine without the client's fonts (Wine has no "Arial Narrow") would
// otherwise show a wide default face: the look-alikes keep the narrow look.
std::vector<std::string> FaceCandidates(const std::string& face) {
    std::vector<std::string> candidates;
    candidates.push_back(face.empty() ? "Arial" : face);
    if (NamesNarrowFace(candidates.front())) {
        candidates.emplace_back("Liberation Sans Narrow");
        candidates.emplace_back("DejaVu Sans Condensed");
    }
    candidates.emplace_back("Arial");
    candidates.emplace_back("Liberation Sans");
    candidates.emplace_back("DejaVu Sans");
    return candidates;
}

// One character of the code page as UTF-16, for drawing. Control characters
// show as blanks.
wchar_t WideCharacter(char byte) {
    if (static_cast<unsigned char>(byte) < 0x20) {
        return L' ';
    }
    wchar_t wide = L'?';
    MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1);
    return wide;
}

}  // namespace

bool Transcript::Create(HWND parent, std::size_t keep_lines, bool plain) {
    keep_lines_ = keep_lines;
    if (!plain) {
        return RegisterClassOnce(client_class::kTranscript, Kind::kPlain, nullptr) &&
               AnsiWindow::Create(client_class::kTranscript, "",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, RECT{},
                                  parent) != nullptr;
    }
    // The system's edit control under the client's class name (a superclass),
    // an ANSI one as the client's controls are: registering it again fails
    // harmlessly.
    WNDCLASSA edit{};
    if (GetClassInfoA(nullptr, "EDIT", &edit) == FALSE) {
        return false;
    }
    edit.hInstance = GetModuleHandleA(nullptr);
    edit.lpszClassName = client_class::kTranscript;
    RegisterClassA(&edit);
    plain_ = CreateWindowExA(0, client_class::kTranscript, "",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | ES_MULTILINE |
                                 ES_READONLY | ES_AUTOVSCROLL,
                             0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (plain_ == nullptr) {
        return false;
    }
    SendMessageA(plain_, EM_SETLIMITTEXT, 0, 0);  // 0: as much as the system allows
    return true;
}

void Transcript::Fill(int lines) {
    for (int line = 1; line <= lines; ++line) {
        starts_.push_back(starts_.empty() ? 0 : starts_.back() + lines_.back().shown.size() + 2);
        lines_.push_back(
            {.shown = "Al: line " + std::to_string(line) + " of the room's talk, about nothing",
             .font = FontFor("Arial"),
             .glyphs = {}});
    }
    while (lines_.size() > keep_lines_) {
        lines_.pop_front();
        starts_.pop_front();
    }
    if (plain_ != nullptr) {
        SetWindowTextA(plain_, AllPosted().c_str());
    }
    InvalidateRect(Shown(), nullptr, FALSE);
}

HFONT Transcript::FontFor(const std::string& face) {
    if (const auto found = fonts_.find(face); found != fonts_.end()) {
        return found->second.get();
    }
    UniqueFont chosen;
    for (const std::string& candidate : FaceCandidates(face)) {
        UniqueFont font = MakeFont(candidate.c_str());
        if (font && HasFace(font.get(), candidate.c_str())) {
            chosen = std::move(font);
            break;
        }
    }
    if (!chosen) {
        chosen = MakeFont(face.c_str());
    }
    return fonts_.emplace(face, std::move(chosen)).first->second.get();
}

void Transcript::Append(std::string_view posted_line) {
    const ShownLine shown = ParseChatLine(posted_line);
    Line line{.shown = std::string(kScreenName) + ": " + ShownText(shown),
              .font = FontFor(shown.face),
              .glyphs = {}};
    line.glyphs.reserve(shown.characters.size());
    for (const ShownCharacter& character : shown.characters) {
        line.glyphs.push_back(
            {.character = WideCharacter(character.byte),
             .colour = character.colour ? static_cast<COLORREF>(*character.colour) : kPlainText,
             .shift = character.shift});
    }
    Add(std::move(line));
}

void Transcript::AppendSaid(std::string_view name, std::string_view text) {
    Line line{.shown = std::string(name) + ": " + std::string(text),
              .font = FontFor("Arial"),
              .glyphs = {}};
    for (const char byte : line.shown) {
        line.glyphs.push_back({.character = WideCharacter(byte), .colour = kPlainText});
    }
    Add(std::move(line));
}

// A room keeps its last lines only, as the client does.
void Transcript::Add(Line line) {
    if (plain_ != nullptr) {
        const std::string added = (lines_.empty() ? "" : "\r\n") + line.shown;
        const auto end = static_cast<WPARAM>(GetWindowTextLengthA(plain_));
        SendMessageA(plain_, EM_SETSEL, end, static_cast<LPARAM>(end));
        SendMessageA(plain_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
    }
    starts_.push_back(lines_.empty() ? 0 : starts_.back() + lines_.back().shown.size() + 2);
    lines_.push_back(std::move(line));
    while (lines_.size() > keep_lines_) {
        if (plain_ != nullptr) {
            const auto dropped = static_cast<LPARAM>(lines_.front().shown.size() + 2);
            SendMessageA(plain_, EM_SETSEL, 0, dropped);
            SendMessageA(plain_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
        }
        lines_.pop_front();
        starts_.pop_front();
    }
    InvalidateRect(Shown(), nullptr, FALSE);
}

LRESULT Transcript::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_GETTEXT:
            return OnGetText(wparam, lparam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(AllPosted().size());
        case EM_GETLINECOUNT:
            return static_cast<LRESULT>(std::max<std::size_t>(lines_.size(), 1));
        case EM_LINEINDEX:
            // -1 asks for the caret's line; the transcript's caret stays at its start.
            if (static_cast<int>(wparam) == -1 || (wparam == 0 && lines_.empty())) {
                return 0;
            }
            return wparam < lines_.size() ? static_cast<LRESULT>(starts_[wparam] - starts_.front())
                                          : -1;
        case EM_GETLINE:
            return OnGetLine(wparam, lparam);
        default:
            return PaintedWindow::HandleMessage(message, wparam, lparam);
    }
}

std::string Transcript::AllPosted() const {
    std::string all;
    for (const Line& line : lines_) {
        if (!all.empty()) {
            all += "\r\n";
        }
        all += line.shown;
    }
    return all;
}

LRESULT Transcript::OnGetText(WPARAM wparam, LPARAM lparam) const {
    auto* buffer = reinterpret_cast<char*>(lparam);
    if (buffer == nullptr || wparam == 0) {
        return 0;
    }
    const std::string all = AllPosted();
    const std::size_t length = std::min<std::size_t>(all.size(), wparam - 1);
    std::memcpy(buffer, all.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

// The line without its break, at most as many bytes as the buffer's first
// word says, with no terminator.
LRESULT Transcript::OnGetLine(WPARAM wparam, LPARAM lparam) const {
    auto* buffer = reinterpret_cast<char*>(lparam);
    if (buffer == nullptr || wparam >= lines_.size()) {
        return 0;
    }
    WORD size = 0;
    std::memcpy(&size, buffer, sizeof size);
    const std::string& shown = lines_[wparam].shown;
    const std::size_t length = std::min<std::size_t>(shown.size(), size);
    std::memcpy(buffer, shown.data(), length);
    return static_cast<LRESULT>(length);
}

LRESULT Transcript::OnPaint() {
    const BufferedPaint paint(Handle());
    const HDC dc = paint.Dc();
    const RECT bounds = paint.Bounds();
    FillSolid(dc, bounds, kBackground);
    SetBkMode(dc, TRANSPARENT);
    const int width = bounds.right - 2 * kPadding;
    int bottom = bounds.bottom - kPadding;
    for (auto line = lines_.rbegin(); line != lines_.rend() && bottom > bounds.top; ++line) {
        bottom = PaintLine(dc, *line, kPadding, bottom, width);
    }
    FrameSolid(dc, bounds, kBorder);
    return 0;
}

int Transcript::PaintLine(HDC dc, const Line& line, int left, int bottom, int width) {
    if (line.glyphs.empty()) {
        return bottom;  // an empty post shows nothing
    }
    const HGDIOBJ previous_font = SelectObject(dc, line.font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // A wavy line's rows make room for the raised and lowered characters.
    const int wave_step = static_cast<int>(metrics.tmHeight) / 4;
    const bool wavy = std::ranges::any_of(line.glyphs, [](const Glyph& g) { return g.shift != 0; });
    const int row_height =
        static_cast<int>(metrics.tmHeight) + kLineGap + (wavy ? 2 * wave_step : 0);
    std::vector<int> widths;
    widths.reserve(line.glyphs.size());
    for (const Glyph& glyph : line.glyphs) {
        SIZE size{};
        GetTextExtentPoint32W(dc, &glyph.character, 1, &size);
        widths.push_back(static_cast<int>(size.cx));
    }
    const std::vector<Row> rows = WrapRows(widths, line.glyphs, width);
    const int top = bottom - static_cast<int>(rows.size()) * row_height;
    int y = top + (wavy ? wave_step : 0);
    for (const auto& [first, last] : rows) {
        int x = left;
        for (std::size_t i = first; i < last; ++i) {
            SetTextColor(dc, line.glyphs[i].colour);
            TextOutW(dc, x, y - line.glyphs[i].shift * wave_step, &line.glyphs[i].character, 1);
            x += widths[i];
        }
        y += row_height;
    }
    SelectObject(dc, previous_font);
    return top;
}

// Greedy wrapping: a row ends after its last blank that fits, or mid-word
// when a word alone is wider than the row.
std::vector<Transcript::Row> Transcript::WrapRows(const std::vector<int>& widths,
                                                  const std::vector<Glyph>& glyphs, int width) {
    std::vector<Row> rows;
    std::size_t first = 0;
    std::size_t after_blank = 0;  // 0: no blank in this row yet
    int x = 0;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (x + widths[i] > width && i > first) {
            const std::size_t last = after_blank > first ? after_blank : i;
            rows.emplace_back(first, last);
            x = 0;
            for (std::size_t j = last; j < i; ++j) {
                x += widths[j];
            }
            first = last;
            after_blank = 0;
        }
        x += widths[i];
        if (glyphs[i].character == L' ') {
            after_blank = i + 1;
        }
    }
    rows.emplace_back(first, glyphs.size());
    return rows;
}

}  // namespace lullcast::standin
