#include "fade/fade.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/colour.h"
#include "fade/announcer.h"

namespace lullcast {
namespace {

using ::testing::ElementsAreArray;

constexpr std::string_view kOpening = "<Font Color=#";
constexpr std::string_view kBad = "\xEF\xBF\xBD";  // U+FFFD
constexpr Colour kRed = MakeColour(0xFF, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 0xFF);

struct Piece {
    std::string colour_text;
    std::string character;  // Wave tags dropped.
};

// Splits markup into its pieces. The texts fed in here never hold '<', so the
// next opening always ends a piece.
std::vector<Piece> SplitPieces(std::string_view markup) {
    std::vector<Piece> pieces;
    while (markup.starts_with(kOpening) && markup.size() > kOpening.size() + 7) {
        Piece piece{std::string(markup.substr(kOpening.size(), 6)), {}};
        markup.remove_prefix(kOpening.size() + 7);
        for (const std::string_view tag : {"<sup>", "</sup>", "<sub>", "</sub>"}) {
            if (markup.starts_with(tag)) markup.remove_prefix(tag.size());
        }
        piece.character = markup.substr(0, markup.find(kOpening, 1));
        markup.remove_prefix(piece.character.size());
        pieces.push_back(std::move(piece));
    }
    EXPECT_EQ(markup, "") << "not a piece";
    return pieces;
}

std::vector<std::string> ColourTexts(std::string_view markup) {
    std::vector<std::string> texts;
    for (const Piece& piece : SplitPieces(markup)) texts.push_back(piece.colour_text);
    return texts;
}

TEST(ColourToHexTest, PadsToSixUpperCaseDigitsAndKeepsLongerTexts) {
    const struct {
        Colour colour;
        std::string_view text;
    } cases[] = {{0x0, "000000"},
                 {0xABCDE, "0ABCDE"},
                 {0x9FA0F9, "9FA0F9"},
                 {0x1000000, "1000000"},
                 {0xFFFFFFFF, "FFFFFFFF"}};
    for (const auto& [colour, text] : cases) EXPECT_EQ(ColourToHex(colour), text) << colour;
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
        {"127.666 and 191.333 rounded", 0x404000, 0xFFFF00, "abc", false,
         "<Font Color=#008080>a<Font Color=#00BFBF>b<Font Color=#00FFFF>c"},
        {"red in the low byte in, high byte out; waves of four", kRed, kBlue, "Hello", true,
         "<Font Color=#CC0033><sup>H<Font Color=#990066></sup>e<Font Color=#660099><sub>l"
         "<Font Color=#3300CC></sub>l<Font Color=#0000FF><sup>o"},
        {"127.5 goes to the even 128", 0x000000, 0xFFFFFF, "ab", false,
         "<Font Color=#808080>a<Font Color=#FFFFFF>b"},
        {"2.5 goes to the even 2", 0x000000, 0x000005, "ab", false,
         "<Font Color=#020000>a<Font Color=#050000>b"},
        {"downward steps, start colour excluded", 0x000005, 0x000003, "ab", false,
         "<Font Color=#040000>a<Font Color=#030000>b"},
        {"one character takes the end colour; each call waves anew", 0x000000, 0x123456, "x", true,
         "<Font Color=#563412><sup>x"},
        {"markup characters pass unchanged", 0x336699, 0x336699, "<&\"", false,
         "<Font Color=#996633><<Font Color=#996633>&<Font Color=#996633>\""},
        {"empty", kRed, kBlue, "", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FadeText(c.start, c.end, c.text, c.wavy), c.markup) << c.name;
    }
}

// Fading a colour into itself shows the channels the colour text was cut into.
TEST(FadeTextTest, CutsSevenAndEightDigitColourTextsByPosition) {
    const struct {
        Colour colour;
        std::string_view colour_text;  // Red, green, blue.
    } cases[] = {{0x8000000F, "0F0080"}, {0x01234567, "673412"}, {0xFFABCDEF, "EFABFF"}};
    for (const auto& [colour, colour_text] : cases) {
        EXPECT_THAT(ColourTexts(FadeText(colour, colour, "ab", false)),
                    ElementsAreArray({colour_text, colour_text}))
            << colour;
    }
}

TEST(FadeTextTest, CountsUnicodeCharactersWholeAndEachBadByteAsOne) {
    const struct {
        std::string_view name;
        std::string_view text;
        std::vector<std::string_view> characters;
    } cases[] = {
        {"not sign, emoji", "\xC2\xAC\xF0\x9F\x98\x80", {"\xC2\xAC", "\xF0\x9F\x98\x80"}},
        {"lone continuation, bytes never used", "\x80x\xFF\xC0", {kBad, "x", kBad, kBad}},
        {"overlong", "\xC1\xBF\xE0\x9F\xBF", {kBad, kBad, kBad, kBad, kBad}},
        {"cut short by another character, by the end",
         "\xE2\x82z\xF0\x9F\x98",
         {kBad, kBad, "z", kBad, kBad, kBad}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> characters;
        std::vector<std::string> colour_texts;
        for (const Piece& piece : SplitPieces(FadeText(kRed, kBlue, c.text, false))) {
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
    for (std::size_t i = 0; i < count; ++i) letters += static_cast<char>('a' + i % 26);
    return letters;
}

// A colour value's channels (red in the low byte), or a colour text's (red
// first), as {red, green, blue}.
std::vector<unsigned> ChannelsOf(Colour value, bool text_order = false) {
    std::vector<unsigned> rgb = {value & 0xFFU, (value >> 8U) & 0xFFU, (value >> 16U) & 0xFFU};
    if (text_order) std::swap(rgb[0], rgb[2]);
    return rgb;
}

// Long lines too: every character lands between the two colours and the last
// one exactly on the end colour, so a count kept in too narrow a type, or
// counted from 0, shows.
TEST(FadeTextTest, EveryLineStaysBetweenTheColoursAndEndsOnTheEndColour) {
    std::uint64_t state = 1;
    for (int pair = 0; pair < 50; ++pair) {
        const Colour start = NextRandom(state) & 0xFFFFFFU;
        const Colour end = NextRandom(state) & 0xFFFFFFU;
        const std::vector<unsigned> from = ChannelsOf(start);
        const std::vector<unsigned> to = ChannelsOf(end);
        for (const std::size_t length : {1U, 2U, 7U, 255U, 256U, 1000U, 4097U}) {
            std::vector<unsigned> rgb;
            for (const std::string& text :
                 ColourTexts(FadeText(start, end, Letters(length), false))) {
                rgb = ChannelsOf(static_cast<Colour>(std::stoul(text, nullptr, 16)), true);
                for (std::size_t i = 0; i < 3; ++i) {
                    ASSERT_TRUE(std::min(from[i], to[i]) <= rgb[i] &&
                                rgb[i] <= std::max(from[i], to[i]))
                        << text << " for " << start << " to " << end;
                }
            }
            EXPECT_EQ(rgb, to) << start << " to " << end << ", " << length << " characters";
        }
    }
}

// 16,000 fades of 1 to 40 characters between pseudo-random colours. The
// digest was computed by a separate binary64 implementation (product first,
// then the sum, round half to even); the grid holds some 35,000 exact halves
// and 35 values where binary64 rounds differently from exact arithmetic, so
// excess precision, a fused multiply-add or a reordered formula changes it.
TEST(FadeTextTest, GivesTheSameBitsAsTheReferenceArithmetic) {
    std::uint64_t state = 0x853C49E6748FEA9BU;
    std::uint64_t digest = 0xCBF29CE484222325U;  // FNV-1a
    for (int pair = 0; pair < 400; ++pair) {
        const Colour start = NextRandom(state) & 0xFFFFFFU;
        const Colour end = NextRandom(state) & 0xFFFFFFU;
        for (std::size_t length = 1; length <= 40; ++length) {
            for (const char byte : FadeText(start, end, Letters(length), false)) {
                digest = (digest ^ static_cast<unsigned char>(byte)) * 0x100000001B3U;
            }
        }
    }
    EXPECT_EQ(digest, 0x180C9222C8D13863U);
}

TEST(FadeTextTest, GivesTheExactMarkupThroughSeveralColours) {
    const std::vector<Colour> red_yellow_blue = {kRed, MakeColour(0xFF, 0xFF, 0), kBlue};
    const std::vector<Colour> black_red_green_blue = {0, kRed, MakeColour(0, 0xFF, 0), kBlue};
    // Runs of 3 and 2; the second starts one step after yellow, 127.5 going to 128.
    EXPECT_EQ(FadeText(red_yellow_blue, "abcde", false),
              "<Font Color=#FF5500>a<Font Color=#FFAA00>b<Font Color=#FFFF00>c"
              "<Font Color=#808080>d<Font Color=#0000FF>e");
    // The wave runs on across the runs of two.
    EXPECT_EQ(FadeText(black_red_green_blue, "abcdef", true),
              "<Font Color=#800000><sup>a<Font Color=#FF0000></sup>b<Font Color=#808000><sub>c"
              "<Font Color=#00FF00></sub>d<Font Color=#008080><sup>e<Font Color=#0000FF></sup>f");
}

// Random texts of letters, markup and longer characters through 2 to 8
// random colours: every run is exactly the two-colour fade of its own
// characters. With two colours that is the whole line, whose bits the
// reference digest above pins.
TEST(FadeTextTest, EachRunIsTheTwoColourFadeOfItsCharacters) {
    const std::string_view alphabet[] = {"a", "Z", " ", "<", "\xC2\xAC", "\xF0\x9F\x98\x80"};
    std::uint64_t state = 99;
    for (int trial = 0; trial < 700; ++trial) {
        const std::size_t k = 2 + static_cast<std::size_t>(trial) % 7;
        std::vector<Colour> colours;
        for (std::size_t i = 0; i < k; ++i) colours.push_back(NextRandom(state) & 0xFFFFFFU);
        std::vector<std::string_view> characters(NextRandom(state) % 300);
        for (auto& character : characters) character = alphabet[NextRandom(state) % 6];
        std::string text;
        std::string expected;
        for (std::size_t run = 0, first = 0; run + 1 < k; ++run) {
            std::string run_text;
            for (const std::size_t end = first + FadeRunLength(characters.size(), k - 1, run);
                 first < end; ++first) {
                run_text += characters[first];
            }
            text += run_text;
            expected += FadeText(colours[run], colours[run + 1], run_text, false);
        }
        ASSERT_EQ(FadeText(colours, text, false), expected) << text;
    }
}

// The program's own colours, as the chat room gets them.
TEST(ComposeChatLineTest, PutsTheFontTagInFrontOfThePlainFade) {
    EXPECT_EQ(ComposeChatLine(0x404000, 0xFFFF00, "\xC2\xAC [on]"),
              "<font face=\"Arial Narrow\"><Font Color=#006060>\xC2\xAC<Font Color=#008080> "
              "<Font Color=#00A0A0>[<Font Color=#00BFBF>o<Font Color=#00DFDF>n"
              "<Font Color=#00FFFF>]");
    const std::vector<Colour> colours = {0x404000, 0xFFFF00};
    EXPECT_EQ(ComposeChatLine({.colours = colours, .wavy = true, .face = "Comic Sans MS"}, "ab"),
              "<font face=\"Comic Sans MS\"><Font Color=#00A0A0><sup>a<Font Color=#00FFFF></sup>b");
}

}  // namespace
}  // namespace lullcast
