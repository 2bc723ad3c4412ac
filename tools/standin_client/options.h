#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lullcast::standin {

// A line that someone else says in room 1, "<name>: <text>", that many
// milliseconds after the client is ready.
struct SaidLine {
    int ms = 0;
    std::wstring name;
    std::wstring text;

    friend bool operator==(const SaidLine&, const SaidLine&) = default;
};

// The scenario the stand-in client sets up, from its command line.
struct Options {
    int rooms = 1;                  // chat rooms, room 1 in front
    bool im_open = false;           // an instant-message window open from the start
    int icons = 12;                 // icons of every document window
    int toolbar_icons = 12;         // icons of the toolbar strip
    bool toolbar = true;            // false: no toolbar host at all
    int im_delay_ms = 0;            // from the toolbar press to the new IM window
    int front_docs = 0;             // plain document windows in front of the rooms
    int im_build_ms = 0;            // between the children of a new IM window; 0: all at once
    std::wstring hang_on;           // a posted line showing this text hangs the client
    int hang_ms = 0;                // how long such a line hangs it
    std::wstring log_path;          // empty: standin-client.log beside the program
    std::wstring title;             // empty: the default caption
    int keep_lines = 500;           // the lines a transcript keeps; older ones drop off its head
    int fill_lines = 0;             // lines of talk room 1's transcript holds at start
    bool plain_transcript = false;  // transcripts are the system's edit control
    std::vector<SaidLine> said;     // other people's lines, in the order given
    bool help = false;              // --help: show the usage and do nothing else
};

// The options, or why the command line was refused.
struct ParsedOptions {
    std::optional<Options> options;
    std::wstring error;
};

// Reads the arguments after the program's name. Counts take decimal digits
// only, within limits that keep the windows on the screen and the delay
// below ten minutes.
[[nodiscard]] ParsedOptions ParseOptions(std::span<const std::wstring> arguments);

// The usage text that --help and a refused command line show.
[[nodiscard]] std::wstring_view UsageText();

}  // namespace lullcast::standin
