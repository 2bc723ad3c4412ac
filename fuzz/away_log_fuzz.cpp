// Rooms whose transcripts grow and drop their oldest lines, texts the program
// posts and a handle, all from the input; the away log looks at the rooms
// now and then. Against a plain model of what was said, each look lists, in
// order, the lines appended since that room's last look that name the
// handle and are not the program's own: all of them, or where the transcript
// also dropped lines (which can leave it unclear what is new) a run of them.
// So no line is listed twice and no old line is listed.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "app/away_log.h"
#include "check.h"
#include "plain_utf8.h"

namespace lullcast {
namespace {

using fuzz::Check;

// ---- The rules of the log, read the plain way, on code points ----

std::u32string_view TrimmedBlanks(std::u32string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Which characters make words is the log's own table (pinned by its unit
// rows); everything built on it is read plainly here: the search, the
// folding, the edges of a word.
bool IsWordCharacter(char32_t c) { return lullcast::IsWordCharacter(c); }

// ASCII and Latin-1 capitals as small letters.
char32_t Folded(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 0x20 : c;
}

bool Names(std::string_view line_text, std::string_view handle_text) {
    const std::u32string line = plain::CodePoints(line_text);
    const std::u32string whole = plain::CodePoints(handle_text);
    const std::u32string_view handle = TrimmedBlanks(whole);
    if (handle.empty()) return false;
    for (std::size_t at = 0; at + handle.size() <= line.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; i < handle.size() && same; ++i) {
            same = Folded(line[at + i]) == Folded(handle[i]);
        }
        const std::size_t after = at + handle.size();
        const bool edge_before =
            !IsWordCharacter(handle.front()) || at == 0 || !IsWordCharacter(line[at - 1]);
        const bool edge_after = !IsWordCharacter(handle.back()) || after == line.size() ||
                                !IsWordCharacter(line[after]);
        if (same && edge_before && edge_after) return true;
    }
    return false;
}

// A line the program's own posted text became: the text, or the text behind
// one screen name (1 to 16 characters, no colon) and ": ", blanks at the ends
// aside.
bool IsOwn(std::string_view line_text, std::string_view posted_text) {
    const std::u32string line_points = plain::CodePoints(line_text);
    const std::u32string posted_points = plain::CodePoints(posted_text);
    const std::u32string_view line = TrimmedBlanks(line_points);
    const std::u32string_view posted = TrimmedBlanks(posted_points);
    if (posted.empty() || !line.ends_with(posted)) return false;
    if (line.size() == posted.size()) return true;
    const std::u32string_view before = line.substr(0, line.size() - posted.size());
    if (!before.ends_with(U": ")) return false;
    const std::u32string_view name = before.substr(0, before.size() - 2);
    return !name.empty() && name.size() <= 16 && name.find(U':') == std::u32string_view::npos;
}

// A listed line: whole up to 1,024 characters, else its first 1,023 and "…".
std::string Listed(std::string_view line_text) {
    std::u32string line = plain::CodePoints(line_text);
    if (line.size() <= AwayLog::kLongestListedLine) return std::string(line_text);
    line.resize(AwayLog::kLongestListedLine - 1);
    return plain::Encoded(line + U"\u2026");
}

// The rooms and posted texts one period keeps in mind.
constexpr std::size_t kRoomsKept = 8;
constexpr std::size_t kPostedKept = 32;

// ---- The model of the chat ----

struct Line {
    std::string text;
    std::size_t serial;  // in the order said
};

struct Room {
    std::vector<Line> lines;
    bool known = false;           // looked at in this period...
    std::size_t taken_in = 0;     // ...as the log's n-th room taken in
    std::size_t seen_serial = 0;  // the lines from this one on came after the last look
    bool dropped = false;         // lines dropped since
};

struct Chat {
    std::vector<Room> rooms = std::vector<Room>(10);
    std::deque<std::string> posted;  // the last distinct texts, least recent first
    std::vector<std::string> ever_posted;
    std::size_t serial = 1;
    std::size_t rooms_taken_in = 0;
    std::size_t looks = 0;
    std::string mentions;  // what the log lists, as the model expects
};

// Well-formed UTF-8 on one line, as a transcript's lines are.
std::string LineText(std::string_view bytes) {
    std::string text = plain::Encoded(plain::CodePoints(bytes));
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

std::string SomeLine(FuzzedDataProvider& input, const Chat& chat, std::string_view handle) {
    const std::string said = LineText(input.ConsumeRandomLengthString(40));
    const std::string posted = chat.ever_posted.empty()
                                   ? said
                                   : chat.ever_posted[input.ConsumeIntegralInRange<std::size_t>(
                                         0, chat.ever_posted.size() - 1)];
    switch (input.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return posted;
        case 1:
            return LineText(input.ConsumeRandomLengthString(20)) + ": " + posted;
        case 2:
            return said + std::string(handle) + LineText(input.ConsumeRandomLengthString(10));
        case 3:
            // Long enough to be cut in the list.
            return std::string(input.ConsumeIntegralInRange<std::size_t>(1015, 1030), 'x') + ' ' +
                   std::string(handle) + said;
        default:
            return said;
    }
}

// The look's expected entries, and what the log listed in fact.
void CheckLook(Chat& chat, Room& room, AwayLog& log, std::size_t index, std::string_view handle) {
    std::string text;
    for (std::size_t i = 0; i < room.lines.size(); ++i) {
        const bool crlf = room.lines[i].serial % 2 == 0;
        const bool last = i + 1 == room.lines.size();
        // The last line may stand without its break, unless it is empty.
        const bool unbroken = last && room.lines[i].serial % 3 == 0 && !room.lines[i].text.empty();
        text += room.lines[i].text + (unbroken ? "" : crlf ? "\r\n" : "\n");
    }
    const std::string time = "L" + std::to_string(++chat.looks);
    const std::size_t listed_before = log.MentionList().size();
    log.Look(WindowHandle{static_cast<std::uint32_t>(index + 1)}, text, handle, time);
    std::string listed = log.MentionList().substr(listed_before);
    if (listed.starts_with("\r\n")) listed.erase(0, 2);

    const bool known = room.known && chat.rooms_taken_in - room.taken_in <= kRoomsKept;
    std::vector<std::string> expected;
    for (const Line& line : room.lines) {
        const bool own = std::ranges::any_of(
            chat.posted, [&line](const std::string& posted) { return IsOwn(line.text, posted); });
        if (known && line.serial >= room.seen_serial && !own && Names(line.text, handle)) {
            expected.push_back(time + "  " + Listed(line.text));
        }
    }
    // The listed entries must be expected[first, last) for some run, the
    // whole list where nothing was dropped; the log keeps 500 at most.
    const std::size_t listed_so_far =
        static_cast<std::size_t>(std::ranges::count(chat.mentions, '\n')) + !chat.mentions.empty();
    bool found = false;
    for (std::size_t first = 0; first <= expected.size() && !found; ++first) {
        std::string run;
        for (std::size_t last = first; last <= expected.size() && !found; ++last) {
            const bool whole = first == 0 && (last == expected.size() ||
                                              listed_so_far + last == AwayLog::kMostMentions);
            found = run == listed && (room.dropped || whole);
            if (last < expected.size()) run += (run.empty() ? "" : "\r\n") + expected[last];
        }
    }
    Check(found, "a look lists the new lines that name the handle, never an old one");
    chat.mentions += (chat.mentions.empty() || listed.empty() ? "" : "\r\n") + listed;
    Check(log.MentionList() == chat.mentions, "the list holds what each look added");

    if (!known) {
        room.known = true;
        room.taken_in = chat.rooms_taken_in++;
    }
    room.seen_serial = chat.serial;
    room.dropped = false;
}

}  // namespace
}  // namespace lullcast

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lullcast;
    FuzzedDataProvider input(data, size);
    // Any bytes at all, for the sanitizers.
    const std::string raw = input.ConsumeRandomLengthString(64);
    const std::string raw_handle = input.ConsumeRandomLengthString(16);
    static_cast<void>(NamesHandle(raw, raw_handle));
    static_cast<void>(ShowsPosted(raw, raw_handle));

    const std::string handle = LineText(input.ConsumeRandomLengthString(16));
    AwayLog log;
    log.Begin();
    Chat chat;
    while (input.remaining_bytes() > 0) {
        Room& room =
            chat.rooms[input.ConsumeIntegralInRange<std::size_t>(0, chat.rooms.size() - 1)];
        const std::size_t index = static_cast<std::size_t>(&room - chat.rooms.data());
        switch (input.ConsumeIntegralInRange(0, 9)) {
            case 0: {
                const std::string text = LineText(input.ConsumeRandomLengthString(30));
                log.NotePosted(text);
                chat.ever_posted.push_back(text);
                // The last distinct texts posted, a text posted again the latest.
                if (!text.empty()) {
                    std::erase(chat.posted, text);
                    chat.posted.push_back(text);
                    if (chat.posted.size() > kPostedKept) chat.posted.pop_front();
                }
                break;
            }
            case 1:
            case 2:
                // A room that holds its last lines only.
                room.lines.erase(
                    room.lines.begin(),
                    room.lines.begin() +
                        static_cast<std::ptrdiff_t>(std::min<std::size_t>(
                            room.lines.size(), input.ConsumeIntegralInRange<std::size_t>(1, 3))));
                room.dropped = true;
                break;
            case 3:
            case 4:
                CheckLook(chat, room, log, index, handle);
                break;
            case 5:
                // A new period: the transcripts stay as they are.
                log.Begin();
                for (Room& each : chat.rooms) each.known = false;
                chat.posted.clear();
                chat.mentions.clear();
                break;
            default:
                room.lines.push_back({SomeLine(input, chat, handle), chat.serial++});
                break;
        }
    }
    return 0;
}
