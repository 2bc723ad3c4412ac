#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "edit_text.h"
#include "log_text.h"
#include "options.h"

namespace lullcast::standin {
namespace {

TEST(LogTextTest, HexAndReadableFormsKeepEveryByte) {
    EXPECT_EQ(HexBytes(std::string("a\0\xAC\xFF", 4)), "6100ACFF");
    EXPECT_EQ(EscapedForReading("\xAC by a\\b\r\n\t\x7F"), "\\xAC by a\\\\b\\x0D\\x0A\\x09\\x7F");
}

TEST(LogTextTest, OnlyTheTwoCommandRecipientsSwitchAcceptance) {
    for (const char* off : {"$im_off", "$IM_OFF", " $im_off\t"}) {
        EXPECT_EQ(ImCommandFor(off), ImCommand::kImsOff) << off;
    }
    EXPECT_EQ(ImCommandFor("$Im_On "), ImCommand::kImsOn);
    for (const char* none : {"$im_of", "im_off", "$im_off.", "$im_on $im_off", ""}) {
        EXPECT_EQ(ImCommandFor(none), ImCommand::kNone) << none;
    }
}

// The arguments of a command line, split at '|'.
std::vector<std::wstring> Arguments(std::wstring_view line) {
    std::vector<std::wstring> arguments;
    for (std::size_t at = 0, bar = 0; bar != std::wstring_view::npos; at = bar + 1) {
        bar = line.find(L'|', at);
        arguments.emplace_back(line.substr(at, bar - at));
    }
    return arguments;
}

TEST(OptionsTest, EveryOptionSetsItsFieldWithinTheLimits) {
    const ParsedOptions parsed = ParseOptions(Arguments(
        L"--rooms|20|--im-open|--icons|64|--toolbar-icons|3|--no-toolbar|--im-delay-ms|600000|"
        L"--front-docs|0|--log|C:\\t\u00e9st\\x.log|--title|A title|--im-build-ms|150|"
        L"--hang-on|\u00ac stop|--hang-ms|600000|--keep-lines|1|--say|250:Al:bob, you there?|"
        L"--say|0:Eve:a: b"));
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

    for (const wchar_t* refused :
         {L"--rooms", L"--rooms|-1", L"--rooms|2x", L"--rooms|", L"--rooms|21",
          L"--icons|99999999999", L"--log|", L"--im-delay-ms|600001", L"--colour|red", L"rooms",
          L"--hang-on|", L"--hang-ms|600001", L"--say|5", L"--keep-lines|0", L"--say|5::hi"}) {
        const ParsedOptions refusal = ParseOptions(Arguments(refused));
        EXPECT_TRUE(!refusal.options && !refusal.error.empty()) << refused;
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
