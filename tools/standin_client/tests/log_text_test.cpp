#include "log_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lullcast::standin {
namespace {

TEST(LogTextTest, HexKeepsEveryByteIncludingZeroAndHighBytes) {
    EXPECT_EQ(HexBytes(""), "");
    EXPECT_EQ(HexBytes(std::string("a\0\xAC\xFF", 4)), "6100ACFF");
}

TEST(LogTextTest, ReadableFormEscapesEverythingButPrintableAscii) {
    EXPECT_EQ(EscapedForReading("\xAC activated \xAC by."), "\\xAC activated \\xAC by.");
    EXPECT_EQ(EscapedForReading("a\\b\r\n\t\x7F"), "a\\\\b\\x0D\\x0A\\x09\\x7F");
}

TEST(LogTextTest, OnlyTheTwoCommandRecipientsSwitchAcceptance) {
    const struct {
        const char* recipient;
        ImCommand command;
    } cases[] = {
        {"$im_off", ImCommand::kImsOff},      {"$IM_OFF", ImCommand::kImsOff},
        {" $im_off\t", ImCommand::kImsOff},   {"$im_on", ImCommand::kImsOn},
        {"$Im_On ", ImCommand::kImsOn},       {"$im_of", ImCommand::kNone},
        {"im_off", ImCommand::kNone},         {"$im_off.", ImCommand::kNone},
        {"$im_on $im_off", ImCommand::kNone}, {"", ImCommand::kNone},
        {"SomeBuddy", ImCommand::kNone},
    };
    for (const auto& [recipient, command] : cases) {
        SCOPED_TRACE(recipient);
        EXPECT_EQ(ImCommandFor(recipient), command);
    }
}

}  // namespace
}  // namespace lullcast::standin
