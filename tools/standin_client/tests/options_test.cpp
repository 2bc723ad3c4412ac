#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lullcast::standin {
namespace {

ParsedOptions Parse(std::vector<std::wstring> arguments) { return ParseOptions(arguments); }

TEST(OptionsTest, EveryOptionSetsItsField) {
    const ParsedOptions parsed =
        Parse({L"--rooms", L"0", L"--im-open", L"--icons", L"4", L"--toolbar-icons", L"3",
               L"--no-toolbar", L"--im-delay-ms", L"1500", L"--front-docs", L"2", L"--log",
               L"C:\\t\u00e9st\\x.log", L"--title", L"A title"});
    ASSERT_TRUE(parsed.options.has_value())
        << std::string(parsed.error.begin(), parsed.error.end());
    const Options& options = *parsed.options;
    EXPECT_EQ(options.rooms, 0);
    EXPECT_TRUE(options.im_open);
    EXPECT_EQ(options.icons, 4);
    EXPECT_EQ(options.toolbar_icons, 3);
    EXPECT_FALSE(options.toolbar);
    EXPECT_EQ(options.im_delay_ms, 1500);
    EXPECT_EQ(options.front_docs, 2);
    EXPECT_EQ(options.log_path, L"C:\\t\u00e9st\\x.log");
    EXPECT_EQ(options.title, L"A title");
}

TEST(OptionsTest, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::wstring>> refused = {
        {L"--rooms"},                   // value missing
        {L"--rooms", L"-1"},            // not digits
        {L"--rooms", L"2x"},            // trailing junk
        {L"--rooms", L""},              // empty
        {L"--rooms", L"21"},            // beyond the limit
        {L"--icons", L"99999999999"},   // would overflow
        {L"--im-delay-ms", L"600001"},  // ten minutes and more
        {L"--log", L""},                // empty path
        {L"--colour", L"red"},          // unknown option
        {L"rooms"},                     // not an option
    };
    for (const auto& arguments : refused) {
        SCOPED_TRACE(std::string(arguments.front().begin(), arguments.front().end()));
        const ParsedOptions parsed = Parse(arguments);
        EXPECT_FALSE(parsed.options.has_value());
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(OptionsTest, LimitsThemselvesAreAccepted) {
    const ParsedOptions parsed = Parse(
        {L"--rooms", L"20", L"--icons", L"64", L"--im-delay-ms", L"600000", L"--front-docs", L"0"});
    ASSERT_TRUE(parsed.options.has_value());
    EXPECT_EQ(parsed.options->rooms, 20);
    EXPECT_EQ(parsed.options->icons, 64);
    EXPECT_EQ(parsed.options->im_delay_ms, 600000);
}

}  // namespace
}  // namespace lullcast::standin
