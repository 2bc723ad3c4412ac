#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "edit_text.h"
#include "fade/chat_markup.h"
#include "log_text.h"
#include "options.h"

namespace lullcast::standin {
namespace {

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

TEST(ChatMarkupTest, FontTagsColourAndNameTheFaceAndEverythingElseShowsAsText) {
    const struct {
        const char* line;
        const char* shown;
    } cases[] = {
        {"<font face=\"Arial Narrow\"><Font Color=#004040>h<Font Color=#00FFFF>\xAC",
         "Arial Narrow:h{004040}\xAC{00FFFF}"},
        {"<font color=#1A2b3C>x", ":x{1A2B3C}"},
        {"<FONT COLOR=\"#1a2b3c\">x", ":x{1A2B3C}"},
        {"<font color='1A2B3C'>x", ":x{1A2B3C}"},
        {"<font  size=2 color=#1A2B3C >x", ":x{1A2B3C}"},
        {"a < b", ":a < b"},
        {"<b>bold</b>", ":<b>bold</b>"},
        {"<fonts>", ":<fonts>"},
        {"<font color=#00FF00", ":<font color=#00FF00"},
        {"<font face=\"Arial>x", ":<font face=\"Arial>x"},
        {"<font =x>", ":<font =x>"},
        {"</font>", ":</font>"},
        {"<font color=#<font color=#FF0000>z", ":<font color=#z{FF0000}"},
        {"<font color=#0000FF>a<font color=#GG0000>b<font color=#12>c",
         ":a{0000FF}b{0000FF}c{0000FF}"},
        {"<font face=Tahoma>a<font face=\"Courier New\">b", "Tahoma:ab"},
        {"<font color=#000000>a<font face=Tahoma>b", "Tahoma:a{000000}b{000000}"},
        {"", ":"},
        {"<font face=\"Arial Narrow\">", "Arial Narrow:"},
        {"<SUP>a</sup>b<sub>c</SUB>d</sub>e<sup", ":a^bc_de<sup"},
    };
    for (const auto& [line, shown] : cases) EXPECT_EQ(Shown(line), shown) << line;
    EXPECT_EQ(ShownText(ParseChatLine("a<font color=#FF0000>z")), "az");
}

TEST(LogTextTest, HexAndReadableFormsKeepEveryByte) {
    EXPECT_EQ(HexBytes(std::string("a\0\xAC\xFF", 4)), "6100ACFF");
    EXPECT_EQ(EscapedForReading("\xAC by a\\b\r\n\t\x7F"), "\\xAC by a\\\\b\\x0D\\x0A\\x09\\x7F");
}

TEST(LogTextTest, OnlyTheTwoCommandRecipientsSwitchAcceptance) {
    const struct {
        const char* recipient;
        ImCommand command;
    } cases[] = {
        {"$im_off", ImCommand::kImsOff},
        {"$IM_OFF", ImCommand::kImsOff},
        {" $im_off\t", ImCommand::kImsOff},
        {"$Im_On ", ImCommand::kImsOn},
        {"$im_of", ImCommand::kNone},
        {"im_off", ImCommand::kNone},
        {"$im_off.", ImCommand::kNone},
        {"$im_on $im_off", ImCommand::kNone},
        {"", ImCommand::kNone},
    };
    for (const auto& [recipient, command] : cases) {
        EXPECT_EQ(ImCommandFor(recipient), command) << recipient;
    }
}

TEST(OptionsTest, EveryOptionSetsItsFieldWithinTheLimits) {
    const std::vector<std::wstring> all = {L"--rooms",
                                           L"20",
                                           L"--im-open",
                                           L"--icons",
                                           L"64",
                                           L"--toolbar-icons",
                                           L"3",
                                           L"--no-toolbar",
                                           L"--im-delay-ms",
                                           L"600000",
                                           L"--front-docs",
                                           L"0",
                                           L"--log",
                                           L"C:\\t\u00e9st\\x.log",
                                           L"--title",
                                           L"A title",
                                           L"--im-build-ms",
                                           L"150",
                                           L"--hang-on",
                                           L"\u00ac stop",
                                           L"--hang-ms",
                                           L"600000",
                                           L"--keep-lines",
                                           L"1",
                                           L"--say",
                                           L"250:Al:bob, you there?",
                                           L"--say",
                                           L"0:Eve:a: b"};
    const ParsedOptions parsed = ParseOptions(all);
    ASSERT_TRUE(parsed.options.has_value());
    const Options& options = *parsed.options;
    EXPECT_EQ(
        std::vector<int>({options.rooms, options.icons, options.toolbar_icons, options.im_delay_ms,
                          options.front_docs, options.im_build_ms, options.hang_ms}),
        std::vector<int>({20, 64, 3, 600000, 0, 150, 600000}));
    EXPECT_TRUE(options.im_open && !options.toolbar && options.keep_lines == 1);
    EXPECT_EQ(options.said,
              (std::vector<SaidLine>{{250, L"Al", L"bob, you there?"}, {0, L"Eve", L"a: b"}}));
    EXPECT_EQ(options.log_path + L"|" + options.title + L"|" + options.hang_on,
              L"C:\\t\u00e9st\\x.log|A title|\u00ac stop");

    const std::vector<std::vector<std::wstring>> refused = {
        {L"--rooms"},      {L"--rooms", L"-1"},           {L"--rooms", L"2x"},
        {L"--rooms", L""}, {L"--rooms", L"21"},           {L"--icons", L"99999999999"},
        {L"--log", L""},   {L"--im-delay-ms", L"600001"}, {L"--colour", L"red"},
        {L"rooms"},        {L"--hang-on", L""},           {L"--hang-ms", L"600001"},
        {L"--say", L"5"},  {L"--keep-lines", L"0"},       {L"--say", L"5::hi"},
    };
    for (std::size_t i = 0; i < std::size(refused); ++i) {
        const ParsedOptions refusal = ParseOptions(refused[i]);
        EXPECT_TRUE(!refusal.options && !refusal.error.empty()) << "command line " << i;
    }
}

// The text and the selection as "text|start-end".
std::string Described(const EditText& edit) {
    return edit.Text() + "|" + std::to_string(edit.SelectionStart()) + "-" +
           std::to_string(edit.SelectionEnd());
}

// EM_SETSEL(start, end) on "hello", then the typed bytes ('\b': Backspace).
TEST(EditTextTest, SelectionAndTypingFollowTheEditControl) {
    constexpr std::uint32_t kMinusOne = 0xFFFFFFFFU;
    const struct {
        std::uint32_t start;
        std::uint32_t end;
        const char* typed;
        const char* expected;
    } cases[] = {
        {5, 5, "!\xAC", "hello!\xAC|7-7"}, {0, 0, "\b", "hello|0-0"}, {3, 1, "", "hello|1-3"},
        {2, kMinusOne, "", "hello|2-5"},   {9, 7, "", "hello|5-5"},   {0, kMinusOne, "X", "X|1-1"},
        {1, 3, "XY", "hXYlo|3-3"},         {1, 3, "\b", "hlo|1-1"},   {3, 3, "\b\bj", "hjlo|2-2"},
    };
    for (const auto& [start, end, typed, expected] : cases) {
        EditText edit;
        edit.SetText("hello");
        edit.Select(start, end);
        for (const char* byte = typed; *byte != '\0'; ++byte) {
            *byte == '\b' ? edit.Backspace() : edit.Type(*byte);
        }
        EXPECT_EQ(Described(edit), expected) << start << "," << end << " " << typed;
    }
}

}  // namespace
}  // namespace lullcast::standin
