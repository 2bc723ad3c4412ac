#include "options.h"

#include <utility>

namespace lullcast::standin {
namespace {

constexpr int kMaxWindows = 20;
constexpr int kMaxIcons = 64;
constexpr int kMaxDelayMs = 600'000;
constexpr int kMaxLines = 100'000;

std::optional<int> ParseCount(std::wstring_view text, int limit) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<int>(c - L'0');
    }
    if (value > limit) {
        return std::nullopt;
    }
    return value;
}

struct CountOption {
    std::wstring_view name;
    int limit;
    int Options::*field;
    int lowest = 0;
};

struct TextOption {
    std::wstring_view name;
    std::wstring Options::*field;
};

struct FlagOption {
    std::wstring_view name;
    bool Options::*field;
    bool value;
};

constexpr CountOption kCountOptions[] = {
    {L"--rooms", kMaxWindows, &Options::rooms},
    {L"--icons", kMaxIcons, &Options::icons},
    {L"--toolbar-icons", kMaxIcons, &Options::toolbar_icons},
    {L"--im-delay-ms", kMaxDelayMs, &Options::im_delay_ms},
    {L"--front-docs", kMaxWindows, &Options::front_docs},
    {L"--im-build-ms", kMaxDelayMs, &Options::im_build_ms},
    {L"--hang-ms", kMaxDelayMs, &Options::hang_ms},
    {L"--keep-lines", kMaxLines, &Options::keep_lines, 1},
    {L"--fill-lines", kMaxLines, &Options::fill_lines},
};

constexpr TextOption kTextOptions[] = {
    {L"--log", &Options::log_path},
    {L"--title", &Options::title},
    {L"--hang-on", &Options::hang_on},
};

constexpr FlagOption kFlagOptions[] = {
    {L"--im-open", &Options::im_open, true},
    {L"--no-toolbar", &Options::toolbar, false},
    {L"--plain-transcript", &Options::plain_transcript, true},
    {L"--help", &Options::help, true},
};

ParsedOptions Refuse(std::wstring error) {
    return {.options = std::nullopt, .error = std::move(error)};
}

// "MS:NAME:TEXT": a time, a name without a colon, and any text.
std::optional<SaidLine> ParseSaid(std::wstring_view value) {
    const std::size_t first = value.find(L':');
    const std::size_t second = value.find(L':', first + 1);
    if (first == std::wstring_view::npos || second == std::wstring_view::npos ||
        second == first + 1) {
        return std::nullopt;
    }
    const std::optional<int> ms = ParseCount(value.substr(0, first), kMaxDelayMs);
    if (!ms) {
        return std::nullopt;
    }
    return SaidLine{.ms = *ms,
                    .name = std::wstring(value.substr(first + 1, second - first - 1)),
                    .text = std::wstring(value.substr(second + 1))};
}

}  // namespace

ParsedOptions ParseOptions(std::span<const std::wstring> arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& name = arguments[i];
        bool known = false;
        for (const FlagOption& flag : kFlagOptions) {
            if (name == flag.name) {
                options.*flag.field = flag.value;
                known = true;
            }
        }
        if (known) {
            continue;
        }
        if (i + 1 >= arguments.size()) {
            return Refuse(L"unknown option or missing value: " + name);
        }
        const std::wstring& value = arguments[i + 1];
        for (const CountOption& count : kCountOptions) {
            if (name == count.name) {
                const std::optional<int> parsed = ParseCount(value, count.limit);
                if (!parsed || *parsed < count.lowest) {
                    return Refuse(name + L" takes a whole number from " +
                                  std::to_wstring(count.lowest) + L" to " +
                                  std::to_wstring(count.limit) + L", not \"" + value + L"\"");
                }
                options.*count.field = *parsed;
                known = true;
            }
        }
        for (const TextOption& text : kTextOptions) {
            if (name == text.name) {
                if (value.empty()) {
                    return Refuse(name + L" takes a non-empty value");
                }
                options.*text.field = value;
                known = true;
            }
        }
        if (name == L"--say") {
            const std::optional<SaidLine> said = ParseSaid(value);
            if (!said) {
                return Refuse(L"--say takes MS:NAME:TEXT, not \"" + value + L"\"");
            }
            options.said.push_back(*said);
            known = true;
        }
        if (!known) {
            return Refuse(L"unknown option: " + name);
        }
        ++i;
    }
    return {.options = options, .error = {}};
}

std::wstring_view UsageText() {
    return L"usage: standin-client [options]\n"
           L"  --rooms N          chat rooms (default 1, 0 allowed); room 1 is in front\n"
           L"  --im-open          an instant-message window is open from the start\n"
           L"  --icons N          icons of every document window (default 12)\n"
           L"  --toolbar-icons N  icons of the toolbar strip (default 12)\n"
           L"  --no-toolbar       no toolbar at all\n"
           L"  --im-delay-ms N    delay before the toolbar's fifth icon opens an IM window\n"
           L"                     (default 0: at once)\n"
           L"  --front-docs N     plain document windows in front of the rooms (default 0)\n"
           L"  --im-build-ms N    a new IM window gets its children one at a time, N ms apart\n"
           L"                     (default 0: all at once)\n"
           L"  --hang-on TEXT     a posted line whose visible text contains TEXT hangs the\n"
           L"                     client's window thread for --hang-ms\n"
           L"  --hang-ms N        how long such a line hangs it (default 0: no hang)\n"
           L"  --keep-lines N     lines a transcript keeps before its oldest drop off\n"
           L"                     (default 500)\n"
           L"  --fill-lines N     room 1's transcript holds N lines of talk at start\n"
           L"  --plain-transcript transcripts are the system's edit control, which answers\n"
           L"                     the line messages itself and wraps long lines\n"
           L"  --say MS:NAME:TEXT someone says \"NAME: TEXT\" in room 1, MS ms after the\n"
           L"                     client is ready (repeatable)\n"
           L"  --log PATH         the event log (default: standin-client.log beside the program)\n"
           L"  --title TEXT       the frame's caption\n"
           L"  --help             this text\n";
}

}  // namespace lullcast::standin
