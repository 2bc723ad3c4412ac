#include "fade/fade.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>

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
// (SSE2 on x86-64). Each lane gets exactly the operations of the scalar
// formula, so the same bits. The i686 builds have no SSE: GCC does the lanes
// one after the other on the x87 unit, and warns that functions taking or
// returning a vector pass it differently than an SSE build would. That cannot
// matter here: every such function is in this file's unnamed namespace.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
using DoublePair = double __attribute__((vector_size(16)));
using WordPair = std::uint64_t __attribute__((vector_size(16)));
using Words = std::uint16_t __attribute__((vector_size(16)));
using Bytes = std::int8_t __attribute__((vector_size(16)));

// The tails are assembled for x86's byte order.
static_assert(std::endian::native == std::endian::little);

// One channel's gradient: the value for the i-th character is
// start + i * step in binary64, the product rounded before the sum (no fused
// multiply-add, which the build also forbids), then rounded half to even.
class ChannelRamp {
  public:
    ChannelRamp(unsigned start_channel, unsigned end_channel, double characters)
        : start_(Splat(start_channel)),
          step_(Splat((static_cast<double>(end_channel) - start_channel) / characters)) {}

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
    static DoublePair Splat(double value) { return DoublePair{value, value}; }

    DoublePair start_;
    DoublePair step_;
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
    Gradient(Colour start_colour, Colour end_colour, std::size_t characters)
        : Gradient(ChannelsOf(start_colour), ChannelsOf(end_colour),
                   static_cast<double>(characters)) {}

    // Bytes 13-20 of the pieces of the characters numbered `positions`, one
    // per lane as a little-endian word: the six digits, ">" and a zero byte
    // where the character's first byte goes.
    [[nodiscard]] WordPair TagTailsAt(DoublePair positions) const {
        return ColourTagTails(red_.RoundedAt(positions) | green_.RoundedAt(positions) << 16U |
                              blue_.RoundedAt(positions) << 32U);
    }

  private:
    Gradient(Channels start, Channels end, double characters)
        : red_(start.red, end.red, characters),
          green_(start.green, end.green, characters),
          blue_(start.blue, end.blue, characters) {}

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
        if (text.size() - pos >= 8 && IsAsciiWord(text.data() + pos)) {
            measure.characters += 8;
            measure.bytes += 8;
            pos += 8;
            continue;
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

template <bool kWavy>
class PieceWriter {
  public:
    PieceWriter(char* out, std::string_view text) : out_(out), text_(text) {}

    // The next `characters` pieces belong to one run of the fade.
    void StartRun(std::size_t characters) { run_left_ = characters; }
    [[nodiscard]] bool Done() const { return run_left_ == 0; }

    [[nodiscard]] bool NextTwoAreAscii() const {
        // Two characters are at least two bytes.
        if (run_left_ < 2) {
            return false;
        }
        std::uint16_t two_bytes = 0;
        std::memcpy(&two_bytes, text_.data() + pos_, sizeof two_bytes);
        return (two_bytes & 0x8080U) == 0;
    }

    // The pieces of the next two characters, both ASCII, without a wave tag.
    void WriteAsciiPair(WordPair tails) {
        WriteColourTag(out_, tails[0], text_[pos_]);
        WriteColourTag(out_ + kAsciiPieceSize, tails[1], text_[pos_ + 1]);
        out_ += 2 * kAsciiPieceSize;
        pos_ += 2;
        run_left_ -= 2;
    }

    // The next character's piece, in any form.
    void Write(std::uint64_t tail) {
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
        --run_left_;
    }

  private:
    char* out_;
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t run_left_ = 0;
    // The wave runs on from one run to the next: one cycle over the line.
    std::size_t wave_ = 0;
};

// The writer is taken and given back by value, so that its fields can stay in
// registers through the loop.
template <bool kWavy>
PieceWriter<kWavy> WritePieces(PieceWriter<kWavy> writer, const Gradient& gradient) {
    // Character numbers in doubles: exact far beyond any text length.
    DoublePair positions = {1.0, 2.0};
    const auto next_tails = [&gradient, &positions] {
        const WordPair tails = gradient.TagTailsAt(positions);
        positions += 2.0;
        return tails;
    };
    while (!writer.Done()) {
        if constexpr (!kWavy) {
            // The common case, in a loop of its own that calls nothing, so
            // that the positions and constants stay in registers.
            while (writer.NextTwoAreAscii()) {
                writer.WriteAsciiPair(next_tails());
            }
            if (writer.Done()) {
                return writer;
            }
        }
        const WordPair tails = next_tails();
        writer.Write(tails[0]);
        if (!writer.Done()) {
            writer.Write(tails[1]);
        }
    }
    return writer;
}

// Run j fades from colour j to colour j + 1 over its own characters, exactly
// as a line of two colours would; a run that gets no character is skipped.
template <bool kWavy>
void WriteRuns(PieceWriter<kWavy> writer, std::span<const Colour> colours, std::size_t characters) {
    const std::size_t runs = colours.size() - 1;
    for (std::size_t run = 0; run < runs; ++run) {
        const std::size_t length = FadeRunLength(characters, runs, run);
        if (length == 0) {
            break;  // The later runs are no longer.
        }
        const Gradient gradient(colours[run], colours[run + 1], Binary64Rounding::Pass(length));
        writer.StartRun(length);
        writer = WritePieces(writer, gradient);
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
        throw std::length_error("FadeText: text too long");
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
        WriteRuns(PieceWriter<true>(out + prefix.size(), text), colours, measure.characters);
    } else {
        WriteRuns(PieceWriter<false>(out + prefix.size(), text), colours, measure.characters);
    }
    return result;
}

}  // namespace detail

}  // namespace lullcast
