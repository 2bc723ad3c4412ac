#include "app/away_log.h"

#include <algorithm>

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

// Letters and digits make words. Of the characters beyond ASCII, those of
// U+0080 to U+00BF ("¬" among them, two bytes led by C2), and × and ÷, are
// symbols; every other one counts as a letter.
bool IsWordCharacterAt(std::string_view text, std::size_t lead) {
    const auto byte = static_cast<unsigned char>(text[lead]);
    if (byte < 0x80) {
        return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
               (byte >= '0' && byte <= '9');
    }
    const auto next = lead + 1 < text.size() ? static_cast<unsigned char>(text[lead + 1]) : 0;
    return byte != 0xC2 && !(byte == 0xC3 && (next == 0x97 || next == 0xB7));
}

// The start of the character that ends just before `end`.
std::size_t LeadBefore(std::string_view text, std::size_t end) {
    std::size_t lead = end - 1;
    while (lead > 0 && (static_cast<unsigned char>(text[lead]) & 0xC0U) == 0x80U) {
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

bool SameAt(std::string_view text, std::size_t at, std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        // A name's first byte is never a continuation, so `at` starts a
        // character in both, and the byte before each is the same kind.
        if (Folded(text, at + i) != Folded(name, i)) {
            return false;
        }
    }
    return true;
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
    // The fewest lines dropped from the old head that leave the rest of the
    // old lines as the new text's beginning: the most overlap, so that a
    // line repeated word for word is new only as often as it was added.
    const std::vector<std::uint64_t>& old = known->lines;
    std::size_t dropped = 0;
    while (dropped < old.size() && (old.size() - dropped > hashes.size() ||
                                    !std::equal(old.begin() + static_cast<std::ptrdiff_t>(dropped),
                                                old.end(), hashes.begin()))) {
        ++dropped;
    }
    const std::size_t added =
        old.empty() || dropped < old.size() ? hashes.size() - (old.size() - dropped) : 0;
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
    for (std::size_t at = 0; at + name.size() <= line.size(); ++at) {
        if (!SameAt(line, at, name)) {
            continue;
        }
        const std::size_t after = at + name.size();
        const bool edge_before =
            !word_at_start || at == 0 || !IsWordCharacterAt(line, LeadBefore(line, at));
        const bool edge_after =
            !word_at_end || after == line.size() || !IsWordCharacterAt(line, after);
        if (edge_before && edge_after) {
            return true;
        }
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
    return line.empty() || (line.size() > 2 && line.ends_with(": "));
}

void AwayLog::Begin() {
    lines_.Clear();
    for (std::string& posted : posted_) {
        posted.clear();
    }
    mention_count_ = 0;
    mentions_.clear();
}

void AwayLog::NotePosted(std::string_view text) {
    for (const std::string& posted : posted_) {
        if (posted == text) {
            return;
        }
    }
    posted_[next_posted_] = text;
    next_posted_ = (next_posted_ + 1) % kPostedKept;
}

void AwayLog::Look(WindowHandle room, std::string_view text, std::string_view handle,
                   std::string_view time) {
    const std::size_t added = lines_.NewLines(room, text);
    for (std::size_t from = StartOfLastLines(text, added); from < text.size();) {
        const std::string_view line = LineAt(text, from);
        const bool own = std::ranges::any_of(
            posted_, [line](const std::string& posted) { return ShowsPosted(line, posted); });
        if (!own && mention_count_ < kMostMentions && NamesHandle(line, handle)) {
            ++mention_count_;
            mentions_ += mentions_.empty() ? "" : "\r\n";
            mentions_ += time;
            mentions_ += "  ";
            mentions_ += line;
        }
    }
}

}  // namespace lullcast
