#include "app/away_log.h"

#include <algorithm>
#include <iterator>

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

// The lines of `text`, without their CR LF or LF; a last line break ends the
// last line rather than starting an empty one.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// The characters of UTF-8 text; a byte that starts no valid character stands
// for itself as a character of its own (it can only match itself).
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t point = extra == 0 ? lead : lead & (0x3FU >> static_cast<unsigned>(extra));
        bool valid = i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0U) == 0x80U;
            point = (point << 6U) | (next & 0x3FU);
        }
        points.push_back(valid ? point : lead);
        i += valid ? static_cast<std::size_t>(extra) + 1 : 1;
    }
    return points;
}

// Latin-1's symbols (U+0080 to U+00BF, "¬" among them, and × and ÷) are no
// letters; its letters and everything beyond count as word characters.
bool IsWordCharacter(char32_t point) {
    const bool ascii = (point >= U'a' && point <= U'z') || (point >= U'A' && point <= U'Z') ||
                       (point >= U'0' && point <= U'9');
    return ascii || (point >= 0xC0 && point != 0xD7 && point != 0xF7);
}

char32_t Folded(char32_t point) {
    const bool upper = (point >= U'A' && point <= U'Z') || (point >= 0xC0 && point <= 0xDE);
    return upper && point != 0xD7 ? point + 0x20 : point;
}

std::string_view TrimmedBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::vector<std::string_view> TranscriptLines::NewLines(WindowHandle room, std::string_view text) {
    const std::vector<std::string_view> lines = SplitLines(text);
    std::vector<std::uint64_t> hashes(lines.size());
    std::ranges::transform(lines, hashes.begin(), LineHash);

    auto known = std::ranges::find(rooms_, room, &Room::window);
    if (known == rooms_.end()) {
        if (rooms_.size() == kRoomsKept) {
            rooms_.erase(rooms_.begin());
        }
        rooms_.push_back({.window = room, .lines = std::move(hashes)});
        return {};
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
    std::vector<std::string_view> added;
    if (old.empty() || dropped < old.size()) {
        added.assign(lines.begin() + static_cast<std::ptrdiff_t>(old.size() - dropped),
                     lines.end());
    }
    known->lines = std::move(hashes);
    return added;
}

bool NamesHandle(std::string_view line, std::string_view handle) {
    const std::vector<char32_t> name = CodePoints(TrimmedBlanks(handle));
    if (name.empty()) {
        return false;
    }
    const std::vector<char32_t> text = CodePoints(line);
    const auto same = [](char32_t a, char32_t b) { return Folded(a) == Folded(b); };
    const bool word_at_start = IsWordCharacter(name.front());
    const bool word_at_end = IsWordCharacter(name.back());
    for (auto from = text.begin();;) {
        const auto found = std::search(from, text.end(), name.begin(), name.end(), same);
        if (found == text.end()) {
            return false;
        }
        const auto after = found + static_cast<std::ptrdiff_t>(name.size());
        const bool edge_before =
            !word_at_start || found == text.begin() || !IsWordCharacter(*std::prev(found));
        const bool edge_after = !word_at_end || after == text.end() || !IsWordCharacter(*after);
        if (edge_before && edge_after) {
            return true;
        }
        from = std::next(found);
    }
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
    posted_.clear();
    mentions_.clear();
}

void AwayLog::NotePosted(std::string_view text) {
    if (std::ranges::find(posted_, text) != posted_.end()) {
        return;
    }
    if (posted_.size() == kPostedKept) {
        posted_.erase(posted_.begin());
    }
    posted_.emplace_back(text);
}

void AwayLog::Look(WindowHandle room, std::string_view text, std::string_view handle,
                   std::string_view time) {
    for (const std::string_view line : lines_.NewLines(room, text)) {
        const bool own = std::ranges::any_of(
            posted_, [line](const std::string& posted) { return ShowsPosted(line, posted); });
        if (!own && mentions_.size() < kMostMentions && NamesHandle(line, handle)) {
            mentions_.push_back({.time = std::string(time), .line = std::string(line)});
        }
    }
}

std::string AwayLog::MentionList() const {
    std::string list;
    for (const Mention& mention : mentions_) {
        if (!list.empty()) {
            list += "\r\n";
        }
        list += mention.time;
        list += "  ";
        list += mention.line;
    }
    return list;
}

}  // namespace lullcast
