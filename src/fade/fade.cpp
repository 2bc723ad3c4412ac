#include "fade/fade.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "core/binary64_rounding.h"
#include "fade/fade_detail.h"
#include "fade/utf8.h"

namespace lullcast {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// A piece is the opening, six hexadecimal digits, ">" (together the colour
// tag), the wave tag if any and the character.
constexpr std::string_view kPieceOpening = "<Font Color=#";
constexpr std::size_t kColourTagSize = 20;
static_assert(kPieceOpening.size() + 6 + 1 == kColourTagSize);
constexpr std::size_t kAsciiPieceSize = kColourTagSize + 1;

constexpr std::array<std::string_view, 4> kWaveTags = {"<sup>", "</sup>", "<sub>", "</sub>"};
constexpr std::size_t kWaveCycleSize = 5 + 6 + 5 + 6;
// Bytes of wave tags after the first k characters of a cycle.
constexpr std::array<std::size_t, 4> kWavePartialCycleSize = {0, 5, 5 + 6, 5 + 6 + 5};

// The most output bytes one input byte can cost: an invalid byte becomes a
// colour tag, a wave tag and U+FFFD, 20 + 6 + 3 bytes. An ASCII character
// costs 27, longer characters less per byte.
constexpr std::size_t kMostOutputBytesPerInputByte = 29;

// Digits of the colour text: the hexadecimal digits without leading zeros,
// but never fewer than six.
constexpr unsigned ColourTextLength(Colour colour) {
    constexpr unsigned kPaddedLength = 6;
    const unsigned significant = (static_cast<unsigned>(std::bit_width(colour)) + 3U) / 4U;
    return std::max(significant, kPaddedLength);
}

struct Channels {
    unsigned red = 0;
    unsigned green = 0;
    unsigned blue = 0;
};

// The channels as read from the colour text by character position: blue from
// its first two digits, green from the third and fourth, red from the last
// two. For a plain colour that is bits 16-23, 8-15 and 0-7; a seven- or
// eight-digit text is cut at the same positions, so its extra digits shift
// blue and green rather than being ignored.
constexpr Channels ChannelsOf(Colour colour) {
    const unsigned digits = ColourTextLength(colour);
    return {.red = colour & 0xFFU,
            .green = (colour >> (4U * (digits - 4U))) & 0xFFU,
            .blue = (colour >> (4U * (digits - 2U))) & 0xFFU};
}

// The gradient is computed for two characters at a time in 16-byte vectors
// (SSE2 on x86-64), two of one run or one of each of two runs. Each lane gets
// exactly the operations of the scalar formula, so the same bits. The i686
// builds have no SSE: GCC does the lanes one after the other on the x87 unit,
// and warns that functions taking or returning a vector pass it differently
// than an SSE build would. That cannot matter here: every such function is in
// this file's unnamed namespace.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
using DoublePair = double __attribute__((vector_size(16)));
using WordPair = std::uint64_t __attribute__((vector_size(16)));
using Words = std::uint16_t __attribute__((vector_size(16)));
using Bytes = std::int8_t __attribute__((vector_size(16)));

// The tails are assembled for x86's byte order.
static_assert(std::endian::native == std::endian::little);

// The channels of two colours as doubles, the first colour's in lane 0.
struct ChannelPairs {
    DoublePair red;
    DoublePair green;
    DoublePair blue;
};

// The channels of two colours at once. The colours of six digits or fewer,
// the usual ones, take a few vector instructions.
inline ChannelPairs PairsOf(Colour first, Colour second) {
    constexpr Colour kLargestPlainColour = 0xFFFFFF;
    if ((first | second) <= kLargestPlainColour) {
        using IntPair = std::int32_t __attribute__((vector_size(8)));
        const IntPair both = {static_cast<std::int32_t>(first), static_cast<std::int32_t>(second)};
        return {.red = __builtin_convertvector(both & 0xFF, DoublePair),
                .green = __builtin_convertvector((both >> 8) & 0xFF, DoublePair),
                .blue = __builtin_convertvector(both >> 16, DoublePair)};
    }
    const Channels one = ChannelsOf(first);
    const Channels other = ChannelsOf(second);
    return {.red = DoublePair{static_cast<double>(one.red), static_cast<double>(other.red)},
            .green = DoublePair{static_cast<double>(one.green), static_cast<double>(other.green)},
            .blue = DoublePair{static_cast<double>(one.blue), static_cast<double>(other.blue)}};
}

// One channel's gradient: the value for the i-th character is
// start + i * step in binary64, the product rounded before the sum (no fused
// multiply-add, which the build also forbids), then rounded half to even.
class ChannelRamp {
  public:
    ChannelRamp() = default;
    ChannelRamp(DoublePair start_channel, DoublePair end_channel, DoublePair characters)
        : start_(start_channel), step_((end_channel - start_channel) / characters) {}

    // The values for the characters numbered `positions`, in the low byte of
    // each lane. Adding 1.5 * 2^52 leaves no bits for a fraction, so the
    // default rounding mode rounds to the nearest integer, a tie to the even
    // one, and the integer lands in the low bits (exact for |value| < 2^51; a
    // value a hair below zero gives 0). For the values 0-255 bits 8-50 are
    // zero and bits 51-62 keep the constant's own bits.
    [[nodiscard]] WordPair RoundedAt(DoublePair positions) const {
        constexpr double kRoundingBias = 0x1.8p52;
        const DoublePair value = start_ + positions * step_;
        return std::bit_cast<WordPair>(value + kRoundingBias);
    }

  private:
    DoublePair start_ = {};
    DoublePair step_ = {};
};

// The hexadecimal digits of red, green and blue held in bytes 0, 2 and 4 of
// each lane (above byte 4 only bits 51-62 may be set), followed by ">" and a
// zero byte, in memory order: red's high digit first.
WordPair ColourTagTails(WordPair channels) {
    // Per 16-bit word the high nibble into the low byte and the low nibble
    // into the high byte; word 3 is cleared.
    const auto words = std::bit_cast<Words>(channels);
    const WordPair nibbles =
        std::bit_cast<WordPair>((words >> 4U) | (words << 8U)) & 0x0000'0F0F'0F0F'0F0FU;
    const auto nibble_bytes = std::bit_cast<Bytes>(nibbles);
    // '0' + nibble, or 'A' - '0' - 10 = 7 more for a letter.
    const Bytes letter_offsets = (nibble_bytes > 9) & 7;
    const WordPair bases = {0x003E'3030'3030'3030U, 0x003E'3030'3030'3030U};  // "000000>".
    return std::bit_cast<WordPair>(nibble_bytes + std::bit_cast<Bytes>(bases) + letter_offsets);
}

class Gradient {
  public:
    Gradient() = default;
    // Lane by lane from `start` to `end` over `characters`.
    Gradient(const ChannelPairs& start, const ChannelPairs& end, DoublePair characters)
        : red_(start.red, end.red, characters),
          green_(start.green, end.green, characters),
          blue_(start.blue, end.blue, characters) {}

    // Bytes 13-20 of the pieces of the characters numbered `positions`, one
    // per lane as a little-endian word: the six digits, ">" and a zero byte
    // where the character's first byte goes.
    [[nodiscard]] WordPair TagTailsAt(DoublePair positions) const {
        return ColourTagTails(red_.RoundedAt(positions) | green_.RoundedAt(positions) << 16U |
                              blue_.RoundedAt(positions) << 32U);
    }

  private:
    ChannelRamp red_;
    ChannelRamp green_;
    ChannelRamp blue_;
};

struct TextMeasure {
    std::size_t characters = 0;
    std::size_t bytes = 0;  // As written out: U+FFFD takes three bytes per invalid byte.
};

bool IsAsciiWord(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return (word & 0x8080'8080'8080'8080U) == 0;
}

TextMeasure Measure(std::string_view text) {
    TextMeasure measure;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t left = text.size() - pos;
        if (left >= 8 && IsAsciiWord(text.data() + pos)) {
            measure.characters += 8;
            measure.bytes += 8;
            pos += 8;
            continue;
        }
        // Fewer than eight bytes left: when the last eight bytes of the text
        // are ASCII, so are these, a character each.
        if (left < 8 && text.size() >= 8 && IsAsciiWord(text.data() + text.size() - 8)) {
            measure.characters += left;
            measure.bytes += left;
            break;
        }
        const std::size_t length = Utf8SequenceLength(text, pos);
        ++measure.characters;
        measure.bytes += length == 0 ? kReplacementCharacter.size() : length;
        pos += length == 0 ? 1 : length;
    }
    return measure;
}

std::size_t WaveTagBytes(std::size_t characters) {
    return characters / 4 * kWaveCycleSize + kWavePartialCycleSize[characters % 4];
}

// The opening padded to 16 bytes for one store; the padding lands where the
// tail goes and is overwritten by it.
constexpr std::array<char, 16> kPaddedOpening = {'<', 'F', 'o', 'n', 't', ' ', 'C', 'o',
                                                 'l', 'o', 'r', '=', '#', '0', '0', '0'};

// Writes the colour tag and, in the tail's top byte, `first_byte`: two stores
// that stay inside the piece, which is at least 21 bytes long.
void WriteColourTag(char* out, std::uint64_t tail, char first_byte) {
    std::memcpy(out, kPaddedOpening.data(), kPaddedOpening.size());
    const std::uint64_t word = tail | std::uint64_t{static_cast<unsigned char>(first_byte)} << 56U;
    std::memcpy(out + kPieceOpening.size(), &word, sizeof word);
}

struct CharacterCopy {
    std::size_t consumed;  // Bytes of the text.
    std::size_t written;   // Bytes of output.
};

// Copies the character at text[pos] to `out`: U+FFFD for a byte that starts no
// well-formed sequence.
CharacterCopy CopyCharacter(std::string_view text, std::size_t pos, char* out) {
    const std::size_t length = Utf8SequenceLength(text, pos);
    if (length == 0) {
        std::memcpy(out, kReplacementCharacter.data(), kReplacementCharacter.size());
        return {1, kReplacementCharacter.size()};
    }
    std::memcpy(out, text.data() + pos, length);
    return {length, length};
}

// Where the colour tag tails go: straight into the pieces when every
// character is ASCII and there is no wave, piece i beginning at byte 21 i...
class AsciiPieces {
  public:
    AsciiPieces(char* out, std::string_view text) : out_(out), text_(text) {}

    void Put(std::size_t index, std::uint64_t tail) const {
        WriteColourTag(out_ + index * kAsciiPieceSize, tail, text_[index]);
    }

  private:
    char* out_;
    std::string_view text_;
};

// ... or else a chunk of characters at a time into slots, from which
// PieceWriter below writes the chunk's pieces in one pass, whatever its runs.
constexpr std::size_t kChunkCharacters = 64;
using ChunkTails = std::array<std::uint64_t, kChunkCharacters>;

class ChunkSlots {
  public:
    // The chunk's first character is the line's character `first`.
    ChunkSlots(ChunkTails& tails, std::size_t first) : tails_(tails), first_(first) {}

    void Put(std::size_t index, std::uint64_t tail) const { tails_[index - first_] = tail; }

  private:
    ChunkTails& tails_;
    std::size_t first_;
};

// The colour tag tails of the line's characters in order: run j fades from
// colour j to colour j + 1 over its own characters, exactly as a line of two
// colours would. Long runs are computed two characters at a time; when there
// are several runs of half a chunk or less, as on a short line through
// several colours, two runs at a time, so that a run of a character or two
// does not cost a gradient of its own.
class TailSource {
  public:
    // `characters` is at least 1, and there are at least two colours.
    TailSource(std::span<const Colour> colours, std::size_t characters)
        : colours_(colours),
          characters_(characters),
          shorter_run_(characters / (colours.size() - 1)),
          longer_runs_(characters % (colours.size() - 1)),
          // The empty runs, if any, come last.
          filled_runs_(shorter_run_ == 0 ? longer_runs_ : colours.size() - 1),
          runs_in_pairs_(filled_runs_ >= 2 && RunLength(0) <= kChunkCharacters / 2) {}

    // Puts the tails of the next characters, at most `limit` (a chunk or
    // more), in `sink`, and returns how many.
    template <typename Sink>
    std::size_t Put(const Sink& sink, std::size_t limit) {
        const std::size_t count =
            runs_in_pairs_ ? PutRunPairs(sink, limit) : PutAlongRuns(sink, limit);
        next_ += count;
        return count;
    }

  private:
    // The runs are as even as they go, the earlier ones a character longer.
    [[nodiscard]] std::size_t RunLength(std::size_t run) const {
        return shorter_run_ + (run < longer_runs_ ? 1 : 0);
    }

    // Whole pairs of runs, as many as fit. Each gradient holds the next run
    // in lane 0 and the one after in lane 1 (the same run again when it is
    // the last, whose tails lane 1 then does not put). The first run is
    // never the shorter one.
    template <typename Sink>
    std::size_t PutRunPairs(const Sink& sink, std::size_t limit) {
        std::size_t count = 0;
        while (run_ < filled_runs_) {
            const bool two_runs = run_ + 1 < filled_runs_;
            const std::size_t first_length = RunLength(run_);
            const std::size_t second_length = two_runs ? RunLength(run_ + 1) : 0;
            if (count + first_length + second_length > limit) {
                break;
            }
            const std::size_t second_run = two_runs ? run_ + 1 : run_;
            const Gradient gradient(
                PairsOf(colours_[run_], colours_[second_run]),
                PairsOf(colours_[run_ + 1], colours_[second_run + 1]),
                DoublePair{AsDouble(first_length), AsDouble(RunLength(second_run))});
            const std::size_t first = next_ + count;
            const std::size_t second = first + first_length;
            DoublePair positions = {1.0, 1.0};
            for (std::size_t i = 0; i < first_length; ++i) {
                const WordPair tails = gradient.TagTailsAt(positions);
                positions += 1.0;
                sink.Put(first + i, tails[0]);
                if (i < second_length) {
                    sink.Put(second + i, tails[1]);
                }
            }
            count += first_length + second_length;
            run_ += two_runs ? 2 : 1;
        }
        return count;
    }

    // The next characters of the runs, two at a time.
    template <typename Sink>
    std::size_t PutAlongRuns(const Sink& sink, std::size_t limit) {
        const std::size_t count = std::min(characters_ - next_, limit);
        std::size_t done = 0;
        while (done < count) {
            if (run_left_ == 0) {
                run_left_ = RunLength(run_);
                const DoublePair characters = {AsDouble(run_left_), AsDouble(run_left_)};
                gradient_ = Gradient(PairsOf(colours_[run_], colours_[run_]),
                                     PairsOf(colours_[run_ + 1], colours_[run_ + 1]), characters);
                positions_ = DoublePair{1.0, 2.0};
                ++run_;
            }
            const std::size_t take = std::min(count - done, run_left_);
            PutAlongRun(sink, next_ + done, take);
            done += take;
            run_left_ -= take;
        }
        return count;
    }

    // The run's state in locals, which the compiler keeps in registers.
    template <typename Sink>
    void PutAlongRun(const Sink& sink, std::size_t first, std::size_t count) {
        const Gradient gradient = gradient_;
        DoublePair positions = positions_;
        std::size_t i = 0;
        for (; i + 1 < count; i += 2) {
            const WordPair tails = gradient.TagTailsAt(positions);
            positions += 2.0;
            sink.Put(first + i, tails[0]);
            sink.Put(first + i + 1, tails[1]);
        }
        if (i < count) {
            sink.Put(first + i, gradient.TagTailsAt(positions)[0]);
            positions += 1.0;  // The pair's second character is still to come.
        }
        positions_ = positions;
    }

    // A count as a double, exact far beyond any text length: a count is a
    // size, which fits in a signed integer, whose conversion is one
    // instruction. Through Pass, so that no arithmetic on it can start before
    // the rounding is set.
    static double AsDouble(std::size_t count) {
        return static_cast<double>(static_cast<std::ptrdiff_t>(Binary64Rounding::Pass(count)));
    }

    std::span<const Colour> colours_;
    std::size_t characters_;
    std::size_t shorter_run_;
    std::size_t longer_runs_;
    std::size_t filled_runs_;
    bool runs_in_pairs_;
    std::size_t next_ = 0;  // The next character.
    std::size_t run_ = 0;   // The next run to start.
    // Along a run: its characters still to come, the numbers of the next two
    // (in doubles: exact far beyond any text length) and its gradient.
    std::size_t run_left_ = 0;
    DoublePair positions_ = {};
    Gradient gradient_;
};

template <bool kWavy>
class PieceWriter {
  public:
    PieceWriter(char* out, std::string_view text) : out_(out), text_(text) {}

    // The pieces of the next `count` characters, whose tails are tails[0..count).
    void Write(const ChunkTails& tails, std::size_t count) {
        std::size_t i = 0;
        while (i < count) {
            if constexpr (!kWavy) {
                // The common case, in a loop of its own that calls nothing.
                while (count - i >= 2 && NextTwoAreAscii()) {
                    WriteAsciiPair(tails[i], tails[i + 1]);
                    i += 2;
                }
                if (i == count) {
                    return;
                }
            }
            WritePiece(tails[i]);
            ++i;
        }
    }

  private:
    // Two more characters are at least two more bytes.
    [[nodiscard]] bool NextTwoAreAscii() const {
        std::uint16_t two_bytes = 0;
        std::memcpy(&two_bytes, text_.data() + pos_, sizeof two_bytes);
        return (two_bytes & 0x8080U) == 0;
    }

    // The pieces of the next two characters, both ASCII, without a wave tag.
    void WriteAsciiPair(std::uint64_t first_tail, std::uint64_t second_tail) {
        WriteColourTag(out_, first_tail, text_[pos_]);
        WriteColourTag(out_ + kAsciiPieceSize, second_tail, text_[pos_ + 1]);
        out_ += 2 * kAsciiPieceSize;
        pos_ += 2;
    }

    // The next character's piece, in any form.
    void WritePiece(std::uint64_t tail) {
        WriteColourTag(out_, tail, '\0');
        out_ += kColourTagSize;
        if constexpr (kWavy) {
            const std::string_view tag = kWaveTags[wave_];
            std::memcpy(out_, tag.data(), tag.size());
            out_ += tag.size();
            wave_ = (wave_ + 1) % kWaveTags.size();
        }
        const CharacterCopy copy = CopyCharacter(text_, pos_, out_);
        pos_ += copy.consumed;
        out_ += copy.written;
    }

    char* out_;
    std::string_view text_;
    std::size_t pos_ = 0;
    // The wave runs on from one run to the next: one cycle over the line.
    std::size_t wave_ = 0;
};

template <bool kWavy>
void WriteLine(char* out, std::string_view text, std::span<const Colour> colours,
               const TextMeasure& measure) {
    TailSource tail_source(colours, measure.characters);
    // Every byte a character of its own, and none replaced: all ASCII.
    const bool ascii = measure.characters == text.size() && measure.bytes == text.size();
    if (!kWavy && ascii) {
        tail_source.Put(AsciiPieces(out, text), measure.characters);
        return;
    }
    PieceWriter<kWavy> writer(out, text);
    ChunkTails tails;
    for (std::size_t first = 0; first < measure.characters;) {
        const std::size_t count = tail_source.Put(ChunkSlots(tails, first), kChunkCharacters);
        writer.Write(tails, count);
        first += count;
    }
}

}  // namespace

std::string ColourToHex(Colour colour) {
    const unsigned length = ColourTextLength(colour);
    std::string hex(length, '0');
    unsigned shift = 4U * length;
    for (char& digit : hex) {
        shift -= 4U;
        digit = kHexDigits[(colour >> shift) & 0xFU];
    }
    return hex;
}

std::size_t FadeRunLength(std::size_t characters, std::size_t runs, std::size_t run) {
    if (runs == 0) {
        return 0;
    }
    return characters / runs + (run < characters % runs ? 1 : 0);
}

std::string FadeText(Colour start_colour, Colour end_colour, std::string_view text, bool wavy) {
    const std::array<Colour, 2> colours = {start_colour, end_colour};
    return detail::PrefixedFadeText({}, colours, text, wavy);
}

std::string FadeText(std::span<const Colour> colours, std::string_view text, bool wavy) {
    return detail::PrefixedFadeText({}, colours, text, wavy);
}

namespace detail {

std::string PrefixedFadeText(std::string_view prefix, std::span<const Colour> colours,
                             std::string_view text, bool wavy) {
    // With this bound no size computed below can overflow, also on 32-bit.
    const std::size_t max_size = std::string().max_size();
    if (prefix.size() > max_size ||
        text.size() > (max_size - prefix.size()) / kMostOutputBytesPerInputByte) {
        // Through the library's own helper, as its strings throw: the
        // constructor of std::length_error would bring a second string
        // implementation into lullcast.exe (src/ui/throw_helpers.cpp).
        std::__throw_length_error("FadeText: text too long");
    }
    const TextMeasure measure = Measure(text);
    const std::size_t size = prefix.size() + measure.characters * kColourTagSize + measure.bytes +
                             (wavy ? WaveTagBytes(measure.characters) : 0);
    std::string result(size, '\0');
    char* const out = result.data();
    std::copy(prefix.begin(), prefix.end(), out);
    if (measure.characters == 0) {
        return result;
    }
    // One colour alone holds every character; none at all, black.
    const std::array<Colour, 2> one_colour = {colours.empty() ? 0 : colours.front(),
                                              colours.empty() ? 0 : colours.front()};
    if (colours.size() < 2) {
        colours = one_colour;
    }
    // Binary64 on the x87 unit too. Every rounded operation of a gradient
    // depends on its run's count, so none can start before the precision is
    // set; the results go to `result` before it is restored.
    [[maybe_unused]] const Binary64Rounding rounding;
    if (wavy) {
        WriteLine<true>(out + prefix.size(), text, colours, measure);
    } else {
        WriteLine<false>(out + prefix.size(), text, colours, measure);
    }
    return result;
}

}  // namespace detail

}  // namespace lullcast
