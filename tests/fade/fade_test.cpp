#include "fade/fade.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/colour.h"

namespace lullcast {
namespace {

using ::testing::ElementsAreArray;

constexpr std::string_view kOpening = "<Font Color=#";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr Colour kRed = MakeColour(0xFF, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 0xFF);

struct Piece {
    std::string colour_text;
    std::string wave_tag;
    std::string character;
};

// Splits markup into its pieces. The characters of the texts fed in here are
// never '<', so the next opening always ends a piece.
std::vector<Piece> SplitPieces(std::string_view markup) {
    std::vector<Piece> pieces;
    while (!markup.empty()) {
        EXPECT_TRUE(markup.starts_with(kOpening)) << markup;
        markup.remove_prefix(kOpening.size());
        Piece piece{std::string(markup.substr(0, 6)), {}, {}};
        EXPECT_EQ(markup.substr(6, 1), ">");
        markup.remove_prefix(7);
        for (const std::string_view tag : {"<sup>", "</sup>", "<sub>", "</sub>"}) {
            if (markup.starts_with(tag)) {
                piece.wave_tag = tag;
                markup.remove_prefix(tag.size());
            }
        }
        const std::size_t end = markup.find(kOpening, 1);
        piece.character = markup.substr(0, end);
        markup.remove_prefix(piece.character.size());
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::vector<std::string> ColourTexts(std::string_view markup) {
    std::vector<std::string> texts;
    for (const Piece& piece : SplitPieces(markup)) {
        texts.push_back(piece.colour_text);
    }
    return texts;
}

TEST(ColourToHexTest, PadsToSixUpperCaseDigitsAndKeepsLongerTexts) {
    const struct {
        Colour colour;
        std::string_view text;
    } cases[] = {
        {0x0, "000000"},          {0xF, "00000F"},          {0xAB, "0000AB"},
        {0xABC, "000ABC"},        {0xABCD, "00ABCD"},       {0xABCDE, "0ABCDE"},
        {0xFFFFFF, "FFFFFF"},     {0x404000, "404000"},     {0x1000000, "1000000"},
        {0x8000000F, "8000000F"}, {0xFFFFFFFF, "FFFFFFFF"},
    };
    for (const auto& [colour, text] : cases) {
        EXPECT_EQ(ColourToHex(colour), text) << std::hex << colour;
    }
}

TEST(FadeTextTest, GivesTheExactMarkup) {
    const struct {
        std::string_view name;
        Colour start;
        Colour end;
        std::string_view text;
        bool wavy;
        std::string_view markup;
    } cases[] = {
        {"teal to cyan, 127.666 and 191.333 rounded", 0x404000, 0xFFFF00, "abc", false,
         "<Font Color=#008080>a<Font Color=#00BFBF>b<Font Color=#00FFFF>c"},
        {"channel order: red in the low byte in, high byte out", kRed, kBlue, "Hello", false,
         "<Font Color=#CC0033>H<Font Color=#990066>e<Font Color=#660099>l"
         "<Font Color=#3300CC>l<Font Color=#0000FF>o"},
        {"127.5 goes to the even 128", 0x000000, 0xFFFFFF, "ab", false,
         "<Font Color=#808080>a<Font Color=#FFFFFF>b"},
        {"2.5 goes to the even 2", 0x000000, 0x000005, "ab", false,
         "<Font Color=#020000>a<Font Color=#050000>b"},
        {"wave", kRed, kBlue, "abcde", true,
         "<Font Color=#CC0033><sup>a<Font Color=#990066></sup>b<Font Color=#660099><sub>c"
         "<Font Color=#3300CC></sub>d<Font Color=#0000FF><sup>e"},
        {"downward steps, start colour excluded", 0x000005, 0x000003, "ab", false,
         "<Font Color=#040000>a<Font Color=#030000>b"},
        {"one character takes the end colour", 0x000000, 0x123456, "x", false,
         "<Font Color=#563412>x"},
        {"equal colours stay put", 0x336699, 0x336699, "a b", false,
         "<Font Color=#996633>a<Font Color=#996633> <Font Color=#996633>b"},
        {"markup characters pass unchanged", 0x000000, 0x000000, "<b>&\"", false,
         "<Font Color=#000000><<Font Color=#000000>b<Font Color=#000000>>"
         "<Font Color=#000000>&<Font Color=#000000>\""},
        {"empty", kRed, kBlue, "", false, ""},
        {"empty, wavy", kRed, kBlue, "", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FadeText(c.start, c.end, c.text, c.wavy), c.markup) << c.name;
    }
}

TEST(FadeTextTest, CutsSevenAndEightDigitColourTextsByPosition) {
    // Fading a colour into itself shows the channels that were cut from it.
    const struct {
        Colour colour;
        std::string_view colour_text;  // Red, green, blue.
    } cases[] = {
        {0x8000000F, "0F0080"},  // 8000000F: blue 80, green 00, red 0F.
        {0x01234567, "673412"},  // 1234567: blue 12, green 34, red 67.
        {0xFFABCDEF, "EFABFF"},
    };
    for (const auto& [colour, colour_text] : cases) {
        EXPECT_THAT(ColourTexts(FadeText(colour, colour, "ab", false)),
                    ElementsAreArray({colour_text, colour_text}))
            << std::hex << colour;
    }
}

TEST(FadeTextTest, WaveCycleContinuesPastFourAndRestartsEveryCall) {
    std::vector<std::string> tags;
    for (const Piece& piece : SplitPieces(FadeText(kRed, kBlue, "abcdefghij", true))) {
        tags.push_back(piece.wave_tag);
    }
    EXPECT_THAT(tags, ElementsAreArray({"<sup>", "</sup>", "<sub>", "</sub>", "<sup>", "</sup>",
                                        "<sub>", "</sub>", "<sup>", "</sup>"}));
    EXPECT_EQ(FadeText(kRed, kBlue, "a", true), "<Font Color=#0000FF><sup>a");
}

TEST(FadeTextTest, OutputLengthFollowsTheCharacterCount) {
    const struct {
        std::size_t characters;
        std::size_t wave_bytes;  // "<sup>", "</sup>", "<sub>", "</sub>", ...
    } cases[] = {{1, 5}, {2, 11}, {3, 16}, {4, 22}, {5, 27}, {6, 33}, {1000, 5500}};
    for (const auto& [characters, wave_bytes] : cases) {
        const std::string text(characters, 'x');
        EXPECT_EQ(FadeText(0x404000, 0xFFFF00, text, false).size(), 21 * characters);
        EXPECT_EQ(FadeText(0x404000, 0xFFFF00, text, true).size(), 21 * characters + wave_bytes);
    }
}

TEST(FadeTextTest, CountsAndWrapsUnicodeCharactersWhole) {
    const std::string_view bad = kReplacement;
    const struct {
        std::string_view name;
        std::string_view text;
        std::vector<std::string_view> characters;
    } cases[] = {
        {"not sign", "\xC2\xAC x", {"\xC2\xAC", " ", "x"}},
        {"emoji", "a\xF0\x9F\x98\x80", {"a", "\xF0\x9F\x98\x80"}},
        {"edges of the ranges",
         "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF",
         {"\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF4\x8F\xBF\xBF"}},
        {"lone continuation and bytes never used", "\x80x\xFF\xC0", {bad, "x", bad, bad}},
        {"overlong", "\xC1\xBF\xE0\x9F\xBF", {bad, bad, bad, bad, bad}},
        {"surrogate", "\xED\xA0\x80", {bad, bad, bad}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", {bad, bad, bad, bad}},
        {"cut short by another character", "\xE2\x82z", {bad, bad, "z"}},
        {"cut short by the end", "a\xF0\x9F\x98", {"a", bad, bad, bad}},
        {"a bad byte second of eight",
         "a\x80"
         "bcdefgh",
         {"a", bad, "b", "c", "d", "e", "f", "g", "h"}},
        {"ASCII runs between others",
         "ab\xC2\xAC"
         "cd\xC2\xAC\xC2\xAC"
         "efg",
         {"a", "b", "\xC2\xAC", "c", "d", "\xC2\xAC", "\xC2\xAC", "e", "f", "g"}},
    };
    for (const auto& c : cases) {
        const std::vector<Piece> pieces = SplitPieces(FadeText(kRed, kBlue, c.text, false));
        std::vector<std::string> characters;
        std::vector<std::string> colour_texts;
        for (const Piece& piece : pieces) {
            characters.push_back(piece.character);
            colour_texts.push_back(piece.colour_text);
        }
        EXPECT_THAT(characters, ElementsAreArray(c.characters)) << c.name;
        // The gradient is spread over characters, not bytes.
        const std::string same_length(c.characters.size(), 'x');
        EXPECT_EQ(colour_texts, ColourTexts(FadeText(kRed, kBlue, same_length, false))) << c.name;
    }
}

std::uint32_t NextRandom(std::uint64_t& state) {
    state = state * 6364136223846793005U + 1442695040888963407U;
    return static_cast<std::uint32_t>(state >> 32U);
}

std::string Letters(std::size_t count) {
    std::string letters;
    for (std::size_t i = 0; i < count; ++i) {
        letters += static_cast<char>('a' + i % 26);
    }
    return letters;
}

struct Rgb {
    unsigned red;
    unsigned green;
    unsigned blue;
};

Rgb ParseOutputColour(const std::string& colour_text) {
    const auto value = static_cast<unsigned>(std::stoul(colour_text, nullptr, 16));
    return {value >> 16U, (value >> 8U) & 0xFFU, value & 0xFFU};
}

bool Between(unsigned value, unsigned one_end, unsigned other_end) {
    return std::min(one_end, other_end) <= value && value <= std::max(one_end, other_end);
}

// Every character lands between the two colours and the last one exactly on
// the end colour, whatever the colours and the length; counting from 0, or a
// step from a count off by one, breaks it.
TEST(FadeTextTest, EveryLineStaysBetweenTheColoursAndEndsOnTheEndColour) {
    std::uint64_t state = 1;
    for (int pair = 0; pair < 50; ++pair) {
        const Colour start = NextRandom(state) & 0xFFFFFFU;
        const Colour end = NextRandom(state) & 0xFFFFFFU;
        const Rgb from{start & 0xFFU, (start >> 8U) & 0xFFU, start >> 16U};
        const Rgb to{end & 0xFFU, (end >> 8U) & 0xFFU, end >> 16U};
        for (const std::size_t length : {1U, 2U, 3U, 7U, 12U, 99U, 255U, 256U, 1000U, 4097U}) {
            const std::vector<std::string> texts =
                ColourTexts(FadeText(start, end, Letters(length), false));
            ASSERT_EQ(texts.size(), length);
            for (const std::string& text : texts) {
                const Rgb rgb = ParseOutputColour(text);
                ASSERT_TRUE(Between(rgb.red, from.red, to.red) &&
                            Between(rgb.green, from.green, to.green) &&
                            Between(rgb.blue, from.blue, to.blue))
                    << text << " for " << std::hex << start << " to " << end;
            }
            const Rgb last = ParseOutputColour(texts.back());
            EXPECT_TRUE(last.red == to.red && last.green == to.green && last.blue == to.blue)
                << texts.back() << " for " << std::hex << start << " to " << end << std::dec << ", "
                << length << " characters";
        }
    }
}

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash) {
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001B3U;
    }
    return hash;
}

// 16,000 fades of 1 to 40 characters between pseudo-random colours. The
// digest was computed by a separate binary64 implementation (product first,
// then the sum, round half to even); the grid holds some 35,000 exact halves
// and 35 values where binary64 rounds differently from exact arithmetic, so
// excess precision, a fused multiply-add or a reordered formula changes it.
TEST(FadeTextTest, GivesTheSameBitsAsTheReferenceArithmetic) {
    std::uint64_t state = 0x853C49E6748FEA9BU;
    std::uint64_t digest = 0xCBF29CE484222325U;
    for (int pair = 0; pair < 400; ++pair) {
        const Colour start = NextRandom(state) & 0xFFFFFFU;
        const Colour end = NextRandom(state) & 0xFFFFFFU;
        for (std::size_t length = 1; length <= 40; ++length) {
            digest = Fnv1a(FadeText(start, end, Letters(length), false), digest);
        }
    }
    EXPECT_EQ(digest, 0x180C9222C8D13863U);
}

}  // namespace
}  // namespace lullcast
