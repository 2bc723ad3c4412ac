#include "app/away_log.h"

#include <algorithm>
#include <array>

#include "core/blanks.h"

namespace lullcast {
namespace {

// FNV-1a: cheap, and 64 bits make two different chat lines of one room
// collide about never.
std::uint64_t LineHash(std::string_view line) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : line) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    }
    return hash;
}

// The line that starts at `from`, without its CR LF or LF, and where the
// next one starts; a last line break ends the last line rather than starting
// an empty one.
std::string_view LineAt(std::string_view text, std::size_t& from) {
    const std::size_t end = std::min(text.find('\n', from), text.size());
    std::string_view line = text.substr(from, end - from);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    from = std::min(end + 1, text.size());
    return line;
}

// Where the last `count` lines of `text`, as LineAt cuts them, start.
std::size_t StartOfLastLines(std::string_view text, std::size_t count) {
    // The break that ends the line looked at, or the text's end.
    std::size_t end = text.ends_with('\n') ? text.size() - 1 : text.size();
    std::size_t start = text.size();
    for (; count > 0; --count) {
        const std::size_t previous_break =
            end == 0 ? std::string_view::npos : text.rfind('\n', end - 1);
        if (previous_break == std::string_view::npos) {
            return 0;
        }
        start = previous_break + 1;
        end = previous_break;
    }
    return start;
}

// The characters beyond ASCII that end words: punctuation, symbols, spaces,
// controls and pictographs, as Unicode classes them (anything but its letters,
// marks and decimal digits), for every character that the ANSI code pages of
// Windows show. Neighbouring ranges are joined over code points that hold no
// letter or digit. Sorted; every other character makes words.
struct CodeRange {
    char16_t first, last;
};
constexpr std::array<CodeRange, 38> kNotInWords{{
    {0x0080, 0x00A9}, {0x00AB, 0x00B4}, {0x00B6, 0x00B9}, {0x00BB, 0x00BF}, {0x00D7, 0x00D7},
    {0x00F7, 0x00F7}, {0x02D8, 0x02DD}, {0x0384, 0x0385}, {0x05BE, 0x05BE}, {0x05C0, 0x05C0},
    {0x05C3, 0x05C3}, {0x05F3, 0x060C}, {0x061B, 0x061F}, {0x0E3F, 0x0E3F}, {0x0E4F, 0x0E4F},
    {0x0E5A, 0x0E5B}, {0x200C, 0x203B}, {0x2074, 0x2074}, {0x2081, 0x2084}, {0x20AA, 0x20AC},
    {0x2103, 0x2105}, {0x2109, 0x2109}, {0x2116, 0x2116}, {0x2121, 0x2122}, {0x2153, 0x2179},
    {0x2190, 0x266F}, {0x3000, 0x3003}, {0x3007, 0x3029}, {0x309B, 0x309C}, {0x30FB, 0x30FB},
    {0x3200, 0x33DD}, {0xE000, 0xF8F3}, {0xFE30, 0xFE6B}, {0xFF01, 0xFF0F}, {0xFF1A, 0xFF20},
    {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFE0, 0xFFE6},
}};

// Beyond the code pages' plane only a handle typed into a Unicode info.ini
// can bring a character: its pictographs end words.
constexpr char32_t kFirstPictograph = 0x1F000;
constexpr char32_t kLastPictograph = 0x1FAFF;

constexpr bool IsContinuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

// The code point of the UTF-8 character that starts at `lead`. A broken
// sequence gives what its bytes hold; it only has to be told from letters.
char32_t CodePointAt(std::string_view text, std::size_t lead) {
    const auto byte = static_cast<unsigned char>(text[lead]);
    if (byte < 0x80) {
        return byte;
    }
    const std::size_t extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
    char32_t code = byte & (0x3FU >> extra);
    for (std::size_t i = 1; i <= extra && lead + i < text.size(); ++i) {
        code = (code << 6U) | (static_cast<unsigned char>(text[lead + i]) & 0x3FU);
    }
    return code;
}

}  // namespace

bool IsWordCharacter(char32_t code) {
    if (code < 0x80) {
        return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
               (code >= '0' && code <= '9');
    }
    if (code > 0xFFFF) {
        return code < kFirstPictograph || code > kLastPictograph;
    }
    const auto* const range = std::ranges::lower_bound(
        kNotInWords, code, {}, [](const CodeRange& r) { return char32_t{r.last}; });
    return range == kNotInWords.end() || code < range->first;
}

namespace {

bool IsWordCharacterAt(std::string_view text, std::size_t lead) {
    return IsWordCharacter(CodePointAt(text, lead));
}

// The start of the character that ends just before `end`: a character has at
// most three continuation bytes, so a run of stray ones costs no more.
std::size_t LeadBefore(std::string_view text, std::size_t end) {
    std::size_t lead = end - 1;
    for (int step = 0;
         step < 3 && lead > 0 && IsContinuation(static_cast<unsigned char>(text[lead])); ++step) {
        --lead;
    }
    return lead;
}

// Bytes compared without regard to case: ASCII letters, and the Latin-1
// capitals (C3 80 to C3 9E, but for ×) against their small letters (C3 A0 to
// C3 BE).
unsigned char Folded(std::string_view text, std::size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 'A' && byte <= 'Z') {
        return byte + 0x20;
    }
    const bool after_c3 = at > 0 && static_cast<unsigned char>(text[at - 1]) == 0xC3;
    return after_c3 && byte >= 0x80 && byte <= 0x9E && byte != 0x97 ? byte + 0x20 : byte;
}

// For each prefix of `pattern`, the length of its longest proper prefix that
// is also its suffix: where a search resumes after a mismatch without going
// back in the text, which keeps a search linear in the text.
template <typename Sequence>
std::vector<std::size_t> Fallbacks(const Sequence& pattern) {
    std::vector<std::size_t> fallback(pattern.size(), 0);
    for (std::size_t i = 1, matched = 0; i < pattern.size(); ++i) {
        while (matched > 0 && pattern[i] != pattern[matched]) {
            matched = fallback[matched - 1];
        }
        matched += pattern[i] == pattern[matched] ? 1U : 0U;
        fallback[i] = matched;
    }
    return fallback;
}

// How many of `fresh`'s first lines are the last lines of `old`, at most.
std::size_t Overlap(const std::vector<std::uint64_t>& old,
                    const std::vector<std::uint64_t>& fresh) {
    if (fresh.empty()) {
        return 0;
    }
    const std::vector<std::size_t> fallback = Fallbacks(fresh);
    std::size_t matched = 0;
    for (const std::uint64_t hash : old) {
        if (matched == fresh.size()) {
            matched = fallback[matched - 1];
        }
        while (matched > 0 && hash != fresh[matched]) {
            matched = fallback[matched - 1];
        }
        matched += hash == fresh[matched] ? 1U : 0U;
    }
    return matched;
}

// The characters of UTF-8 text.
std::size_t CharacterCount(std::string_view text) {
    return static_cast<std::size_t>(std::ranges::count_if(
        text, [](char byte) { return !IsContinuation(static_cast<unsigned char>(byte)); }));
}

// A screen name of the client: up to 16 characters, never a colon.
constexpr std::size_t kLongestScreenName = 16;

// The mark that ends a listed line that was cut.
constexpr std::string_view kCutMark = "\u2026";

// `line` whole, or its first characters and the cut mark, within
// AwayLog::kLongestListedLine characters.
void AppendCut(std::string& list, std::string_view line) {
    std::size_t characters = 0;
    std::size_t cut = line.size();
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (IsContinuation(static_cast<unsigned char>(line[at]))) {
            continue;
        }
        if (characters == AwayLog::kLongestListedLine - 1) {
            cut = at;
        } else if (characters == AwayLog::kLongestListedLine) {
            list += line.substr(0, cut);
            list += kCutMark;
            return;
        }
        ++characters;
    }
    list += line;
}

}  // namespace

std::size_t TranscriptLines::NewLines(WindowHandle room, std::string_view text) {
    std::size_t count = 0;
    for (std::size_t from = 0; from < text.size(); ++count) {
        static_cast<void>(LineAt(text, from));
    }
    std::vector<std::uint64_t> hashes(count);
    std::size_t from = 0;
    for (std::uint64_t& hash : hashes) {
        hash = LineHash(LineAt(text, from));
    }
    Room* known = nullptr;
    for (Room& kept : rooms_) {
        known = kept.window == room && IsWindow(room) ? &kept : known;
    }
    if (known == nullptr) {
        rooms_[next_room_] = {.window = room, .lines = std::move(hashes)};
        next_room_ = (next_room_ + 1) % kRoomsKept;
        return 0;
    }
    // The most overlap, so that a line repeated word for word is new only as
    // often as it was added.
    const std::vector<std::uint64_t>& old = known->lines;
    const std::size_t overlap = Overlap(old, hashes);
    const std::size_t added = old.empty() || overlap > 0 ? hashes.size() - overlap : 0;
    known->lines = std::move(hashes);
    return added;
}

bool NamesHandle(std::string_view line, std::string_view handle) {
    const std::string_view name = TrimmedBlanks(handle);
    if (name.empty() || name.size() > line.size()) {
        return false;
    }
    const bool word_at_start = IsWordCharacterAt(name, 0);
    const bool word_at_end = IsWordCharacterAt(name, LeadBefore(name, name.size()));
    std::string folded(name.size(), '\0');
    for (std::size_t i = 0; i < name.size(); ++i) {
        folded[i] = static_cast<char>(Folded(name, i));
    }
    const std::vector<std::size_t> fallback = Fallbacks(folded);
    std::size_t matched = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        // A name's first byte is never a continuation, so a match starts a
        // character in both, and the byte before each is the same kind.
        const auto byte = static_cast<char>(Folded(line, at));
        while (matched > 0 && byte != folded[matched]) {
            matched = fallback[matched - 1];
        }
        matched += byte == folded[matched] ? 1U : 0U;
        if (matched < folded.size()) {
            continue;
        }
        const std::size_t after = at + 1;
        const std::size_t start = after - folded.size();
        const bool edge_before =
            !word_at_start || start == 0 || !IsWordCharacterAt(line, LeadBefore(line, start));
        const bool edge_after =
            !word_at_end || after == line.size() || !IsWordCharacterAt(line, after);
        if (edge_before && edge_after) {
            return true;
        }
        matched = fallback[matched - 1];
    }
    return false;
}

bool ShowsPosted(std::string_view line, std::string_view posted) {
    line = TrimmedBlanks(line);
    posted = TrimmedBlanks(posted);
    if (posted.empty() || !line.ends_with(posted)) {
        return false;
    }
    line.remove_suffix(posted.size());
    if (line.empty()) {
        return true;
    }
    // Anyone may write "name: " and a posted text into a line of their own:
    // only the client puts one screen name there, and a name holds no colon.
    constexpr std::string_view kAfterName = ": ";
    if (!line.ends_with(kAfterName)) {
        return false;
    }
    line.remove_suffix(kAfterName.size());
    return !line.empty() && line.find(':') == std::string_view::npos &&
           CharacterCount(line) <= kLongestScreenName;
}

void AwayLog::Begin() {
    lines_.Clear();
    for (std::string& posted : posted_) {
        posted.clear();
    }
    mention_count_ = 0;
    end_unread_told_ = false;
    mentions_.clear();
}

void AwayLog::NotePosted(std::string_view text) {
    if (text.empty()) {
        return;  // no line shows it
    }
    // A text posted again is recent again: the report posts the same idle
    // line every minute among new ones, and must not let it go as the oldest.
    auto* found = std::ranges::find(posted_, text);
    if (found == posted_.end()) {
        found = posted_.end() - 1;  // the least recent goes
        *found = text;
    }
    std::rotate(posted_.begin(), found, found + 1);
}

void AwayLog::Look(WindowHandle room, std::string_view text, std::string_view handle,
                   std::string_view time, bool end_unread) {
    const std::size_t added = lines_.NewLines(room, text);
    for (std::size_t from = StartOfLastLines(text, added); from < text.size();) {
        const std::string_view line = LineAt(text, from);
        const bool own = std::ranges::any_of(
            posted_, [line](const std::string& posted) { return ShowsPosted(line, posted); });
        if (!own && mention_count_ < kMostMentions && NamesHandle(line, handle)) {
            ++mention_count_;
            AppendEntry(time, line);
        }
    }
    // Said once: the user reads that the list may lack what came later.
    if (end_unread && !end_unread_told_) {
        end_unread_told_ = true;
        AppendEntry(time, kEndUnread);
    }
}

void AwayLog::AppendEntry(std::string_view time, std::string_view line) {
    mentions_ += mentions_.empty() ? "" : "\r\n";
    mentions_ += time;
    mentions_ += "  ";
    AppendCut(mentions_, line);
}

}  // namespace lullcast
