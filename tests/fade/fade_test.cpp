// The fade's rules by worked example, and the bits of its arithmetic. Any
// text (bad bytes and all) through any colours (of seven and eight digits
// too) is checked against a plain reference by the fade's fuzz target, whose
// corpus every native build replays; these also run on the x87 build.
#include "fade/fade.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/colour.h"
#include "fade/announcer.h"
#include "fade/chat_markup.h"

namespace lullcast {
namespace {

constexpr Colour kRed = MakeColour(0xFF, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 0xFF);

TEST(FadeTextTest, GivesTheExactMarkup) {
    const std::vector<Colour> red_yellow_blue = {kRed, MakeColour(0xFF, 0xFF, 0), kBlue};
    const struct {
        std::string_view name;
        std::vector<Colour> colours;
        std::string_view text;
        bool wavy;
        std::string_view markup;
    } cases[] = {
        {"127.666 and 191.333 rounded",
         {0x404000, 0xFFFF00},
         "abc",
         false,
         "<Font Color=#008080>a<Font Color=#00BFBF>b<Font Color=#00FFFF>c"},
        {"red in the low byte in, high byte out; waves of four",
         {kRed, kBlue},
         "Hello",
         true,
         "<Font Color=#CC0033><sup>H<Font Color=#990066></sup>e<Font Color=#660099><sub>l"
         "<Font Color=#3300CC></sub>l<Font Color=#0000FF><sup>o"},
        {"127.5 goes to the even 128",
         {0x000000, 0xFFFFFF},
         "ab",
         false,
         "<Font Color=#808080>a<Font Color=#FFFFFF>b"},
        {"downward steps, start colour excluded",
         {0x000005, 0x000003},
         "ab",
         false,
         "<Font Color=#040000>a<Font Color=#030000>b"},
        {"one character takes the end colour; each call waves anew",
         {0x000000, 0x123456},
         "x",
         true,
         "<Font Color=#563412><sup>x"},
        {"runs of 3 and 2; the second starts one step after yellow, 127.5 going to 128",
         red_yellow_blue, "abcde", false,
         "<Font Color=#FF5500>a<Font Color=#FFAA00>b<Font Color=#FFFF00>c"
         "<Font Color=#808080>d<Font Color=#0000FF>e"},
        {"the wave runs on across the runs",
         {0, kRed, MakeColour(0, 0xFF, 0), kBlue},
         "abcdef",
         true,
         "<Font Color=#800000><sup>a<Font Color=#FF0000></sup>b<Font Color=#808000><sub>c"
         "<Font Color=#00FF00></sub>d<Font Color=#008080><sup>e<Font Color=#0000FF></sup>f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FadeText(c.colours, c.text, c.wavy), c.markup) << c.name;
        if (c.colours.size() == 2) {
            EXPECT_EQ(FadeText(c.colours[0], c.colours[1], c.text, c.wavy), c.markup) << c.name;
        }
    }
}

std::uint32_t NextRandom(std::uint64_t& state) {
    state = state * 6364136223846793005U + 1442695040888963407U;
    return static_cast<std::uint32_t>(state >> 32U);
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
        std::string letters;
        for (std::size_t length = 1; length <= 40; ++length) {
            letters += static_cast<char>('a' + (length - 1) % 26);
            for (const char byte : FadeText(start, end, letters, false)) {
                digest = (digest ^ static_cast<unsigned char>(byte)) * 0x100000001B3U;
            }
        }
    }
    EXPECT_EQ(digest, 0x180C9222C8D13863U);
}

// The program's own colours, as the chat room gets them.
TEST(ComposeChatLineTest, PutsTheFontTagInFrontOfThePlainFade) {
    EXPECT_EQ(ComposeChatLine(0x404000, 0xFFFF00, "ab"),
              "<font face=\"Arial Narrow\"><Font Color=#00A0A0>a<Font Color=#00FFFF>b");
}

// "face:" and the shown characters, each coloured one followed by {RRGGBB}.
std::string Shown(const char* line) {
    const ShownLine shown = ParseChatLine(line);
    std::string text = shown.face + ":";
    for (const ShownCharacter& character : shown.characters) {
        text += character.byte;
        if (character.shift != 0) text += character.shift > 0 ? '^' : '_';
        if (!character.colour) continue;
        char rgb[16];
        std::snprintf(rgb, sizeof rgb, "{%02X%02X%02X}", *character.colour & 0xFFU,
                      (*character.colour >> 8U) & 0xFFU, (*character.colour >> 16U) & 0xFFU);
        text += rgb;
    }
    return text;
}

// The room's reading of a line: the fade's own markup is read back by the
// fade's fuzz target; here the spellings it never writes, and malformed tags,
// which show as text.
TEST(ChatMarkupTest, FontTagsColourAndNameTheFaceAndEverythingElseShowsAsText) {
    const struct {
        const char* line;
        const char* shown;
    } cases[] = {
        {"<font color=#1A2b3C>a<FONT COLOR=\"#1a2b3d\">b<font color='1A2B3E'>c"
         "<font  size=2 color=#1A2B3F >d",
         ":a{1A2B3C}b{1A2B3D}c{1A2B3E}d{1A2B3F}"},
        {"a < b<b>bold</b><fonts></font><font =x>", ":a < b<b>bold</b><fonts></font><font =x>"},
        {"<font color=#00FF00", ":<font color=#00FF00"},
        {"<font face=\"Arial>x", ":<font face=\"Arial>x"},
        {"<font color=#<font color=#FF0000>z", ":<font color=#z{FF0000}"},
        {"<font color=#0000FF>a<font color=#GG0000>b<font color=#12>c",
         ":a{0000FF}b{0000FF}c{0000FF}"},
        {"<font face=Tahoma>a<font face=\"Courier New\">b", "Tahoma:ab"},
        {"<font color=#000000>a<font face=Tahoma>b", "Tahoma:a{000000}b{000000}"},
        {"</sup><SUP>a</sup>b<sub>c</SUB>d</sub><sub>e</sub>f<sup", ":a^bc_de_f<sup"}};
    for (const auto& [line, shown] : cases) EXPECT_EQ(Shown(line), shown) << line;
    EXPECT_EQ(ShownText(ParseChatLine("a<font color=#FF0000>z")), "az");
}

}  // namespace
}  // namespace lullcast
