#include "chat_markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lullcast::standin {
namespace {

struct Coloured {
    char byte;
    Colour colour;
};

std::vector<ShownCharacter> ColouredCharacters(const std::vector<Coloured>& characters) {
    std::vector<ShownCharacter> shown;
    for (const Coloured& character : characters) {
        shown.push_back({.byte = character.byte, .colour = character.colour});
    }
    return shown;
}

TEST(ChatMarkupTest, LineAsTheFadeWritesItShowsEachCharacterInItsColourAndFace) {
    const ShownLine shown =
        ParseChatLine("<font face=\"Arial Narrow\"><Font Color=#004040>h<Font Color=#00FFFF>\xAC");
    EXPECT_EQ(shown.face, "Arial Narrow");
    EXPECT_EQ(shown.characters, ColouredCharacters({{'h', MakeColour(0x00, 0x40, 0x40)},
                                                    {'\xAC', MakeColour(0x00, 0xFF, 0xFF)}}));
}

TEST(ChatMarkupTest, ColourTagsReadInAnyCaseQuotedOrNot) {
    for (const char* tag : {"<font color=#1A2b3C>", "<FONT COLOR=\"#1a2b3c\">",
                            "<font color='1A2B3C'>", "<font  size=2 color=#1A2B3C >"}) {
        SCOPED_TRACE(tag);
        const ShownLine shown = ParseChatLine(std::string(tag) + "x");
        EXPECT_EQ(shown.characters, ColouredCharacters({{'x', MakeColour(0x1A, 0x2B, 0x3C)}}));
    }
}

TEST(ChatMarkupTest, AnythingThatIsNotAWellFormedFontTagShowsAsText) {
    for (const char* line : {"a < b", "<b>bold</b>", "<fonts>", "<font color=#00FF00",
                             "<font face=\"Arial>x", "<font =x>", "</font>"}) {
        SCOPED_TRACE(line);
        const ShownLine shown = ParseChatLine(line);
        EXPECT_EQ(ShownText(shown), line);
        EXPECT_EQ(shown.face, "");
        for (const ShownCharacter& character : shown.characters) {
            EXPECT_FALSE(character.colour.has_value());
        }
    }
}

TEST(ChatMarkupTest, UnterminatedTagBeforeAGoodOneShowsAsTextAndTheGoodOneStillColours) {
    const ShownLine shown = ParseChatLine("<font color=#<font color=#FF0000>z");
    EXPECT_EQ(ShownText(shown), "<font color=#z");
    EXPECT_EQ(shown.characters.back().colour, MakeColour(0xFF, 0x00, 0x00));
    EXPECT_FALSE(shown.characters.front().colour.has_value());
}

TEST(ChatMarkupTest, BadColourKeepsThePreviousColourAndTheTagStaysHidden) {
    const ShownLine shown =
        ParseChatLine("<font color=#0000FF>a<font color=#GG0000>b<font color=#12>c");
    EXPECT_EQ(shown.characters, ColouredCharacters({{'a', MakeColour(0, 0, 0xFF)},
                                                    {'b', MakeColour(0, 0, 0xFF)},
                                                    {'c', MakeColour(0, 0, 0xFF)}}));
}

TEST(ChatMarkupTest, TheFirstFaceNamedIsTheLinesFace) {
    EXPECT_EQ(ParseChatLine("<font face=Tahoma>a<font face=\"Courier New\">b").face, "Tahoma");
    EXPECT_EQ(ParseChatLine("<font color=#000000>a<font face=Tahoma>b").face, "Tahoma");
}

TEST(ChatMarkupTest, EmptyAndMarkupOnlyLinesShowNothing) {
    EXPECT_TRUE(ParseChatLine("").characters.empty());
    const ShownLine prefix_only = ParseChatLine("<font face=\"Arial Narrow\">");
    EXPECT_TRUE(prefix_only.characters.empty());
    EXPECT_EQ(prefix_only.face, "Arial Narrow");
}

}  // namespace
}  // namespace lullcast::standin
