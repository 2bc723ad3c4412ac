#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/window_handle.h"

namespace lullcast {

// The lines of a transcript that were not there at the last look, room by
// room. A transcript grows at its end and may drop lines at its head (a chat
// room keeps its last lines only), so the new lines are what follows the
// longest run of the old lines' tail that the new text begins with. Lines are
// kept as hashes: a room of a thousand lines costs eight kilobytes.
class TranscriptLines {
  public:
    // Forgets every room: what the next look at a room finds is old.
    void Clear() { rooms_ = {}; }
    // How many of the last lines of `text` are new in `room`. The first look at a room
    // takes all it holds as seen: its lines may be hours old. A text that
    // shares no line with the last look (the room's window now shows another
    // room, or it was cleared) starts afresh the same way, unless the last
    // look saw nothing at all. Lines end in LF or CR LF.
    [[nodiscard]] std::size_t NewLines(WindowHandle room, std::string_view text);

  private:
    struct Room {
        WindowHandle window = WindowHandle::kNone;
        std::vector<std::uint64_t> lines;
    };
    // Rooms the user went through in one period: a few. The oldest is
    // forgotten beyond this, and is seen afresh when it comes back.
    static constexpr std::size_t kRoomsKept = 8;
    std::array<Room, kRoomsKept> rooms_{};
    std::size_t next_room_ = 0;  // the slot a room not seen before takes
};

// Whether the character makes words with its neighbours: letters, marks and
// decimal digits do (of any script the ANSI code pages show); punctuation,
// symbols, blanks and pictographs end words.
[[nodiscard]] bool IsWordCharacter(char32_t code);

// Whether `line` names `handle` as a word of its own, without regard to case
// (ASCII and Latin-1 letters): "bob, you there?" and "BOB!" name Bob,
// "bobcat" does not. A word is a run of letters and digits (of any script the
// ANSI code pages show); punctuation, symbols, blanks and the "¬" separator
// end it, curly quotes, dashes and "…" among them. A handle that is empty or
// only blanks is named by nothing. Text is UTF-8. Linear in the line.
[[nodiscard]] bool NamesHandle(std::string_view line, std::string_view handle);

// What a transcript line shows when it is one that `posted` text became: the
// text itself, or the text behind one screen name (at most 16 characters, no
// colon) and ": ". Anything else before it is someone else's line quoting it.
[[nodiscard]] bool ShowsPosted(std::string_view line, std::string_view posted);

// One idle period's log of the lines that named the user.
class AwayLog {
  public:
    // The start of a period: no room seen, nothing posted, no mention. The
    // first look at each room then takes what it holds as seen.
    void Begin();
    // A text this program posted during the period: never a mention.
    void NotePosted(std::string_view text);
    // A later look at the front room's transcript. With `end_unread`, the
    // transcript went on beyond what the read could copy: the list says so,
    // once a period, at the time it was first seen.
    void Look(WindowHandle room, std::string_view text, std::string_view handle,
              std::string_view time, bool end_unread = false);
    // Each mention on a line of its own, oldest first, behind the local time
    // it was seen: "HH:MM:SS  line", lines joined by CR LF as an edit control
    // shows them. Empty without a mention.
    [[nodiscard]] const std::string& MentionList() const { return mentions_; }

    // The most mentions one period keeps: a flood of them is not what the
    // user wants to read back, and memory stays bounded in a long period.
    static constexpr std::size_t kMostMentions = 500;
    // The most characters a listed line keeps: a longer one keeps its start
    // and ends in "…". The list's memory stays bounded with the count.
    static constexpr std::size_t kLongestListedLine = 1024;
    // What the list says when the transcript's end could not be read.
    static constexpr std::string_view kEndUnread =
        "(the room's transcript is longer than can be read: lines added to its end are not seen)";

  private:
    // The texts posted lately: a posted line reaches the transcript within
    // seconds, while a period may post thousands of texts.
    static constexpr std::size_t kPostedKept = 32;

    void AppendEntry(std::string_view time, std::string_view line);

    TranscriptLines lines_;
    // The distinct texts posted last, the most recent first.
    std::array<std::string, kPostedKept> posted_{};
    std::size_t mention_count_ = 0;
    bool end_unread_told_ = false;
    std::string mentions_;
};

}  // namespace lullcast
