#include "fade/announcer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/client_operations.h"

namespace lullcast {
namespace {

// The swatch colours the main window is created with.
constexpr Colour kClr1 = 0x00404000;
constexpr Colour kClr2 = 0x00FFFF00;

std::size_t CountCharacters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char byte : utf8) {
        count += (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U ? 1 : 0;
    }
    return count;
}

TEST(ComposeChatLineTest, PutsTheFontTagInFrontOfThePlainFade) {
    const std::string line = ComposeChatLine(kClr1, kClr2, "¬ ims ¬ [on]");
    EXPECT_EQ(line,
              "<font face=\"Arial Narrow\">"
              "<Font Color=#005050>¬<Font Color=#006060> <Font Color=#007070>i"
              "<Font Color=#008080>m<Font Color=#009090>s<Font Color=#00A0A0> "
              "<Font Color=#00AFAF>¬<Font Color=#00BFBF> <Font Color=#00CFCF>["
              "<Font Color=#00DFDF>o<Font Color=#00EFEF>n<Font Color=#00FFFF>]");
    EXPECT_EQ(CountCharacters(line), 278U);
}

class RecordingClient final : public ClientOperations {
  public:
    void SendChatLine(std::string_view line) override { chat_lines.emplace_back(line); }
    void SendInstantMessage(std::string_view recipient, std::string_view text) override {
        other_calls.push_back("im " + std::string(recipient) + " " + std::string(text));
    }
    void ClickFrontChildIcon(int position) override {
        other_calls.push_back("click " + std::to_string(position));
    }

    std::vector<std::string> chat_lines;
    std::vector<std::string> other_calls;
};

TEST(AnnounceTest, SendsTheComposedLineAndNothingElse) {
    RecordingClient client;
    Announce(client, kClr1, kClr2, "¬ <b>newbie</b> ¬ idle");
    Announce(client, kClr1, kClr2, "");
    EXPECT_THAT(client.chat_lines,
                ::testing::ElementsAre(ComposeChatLine(kClr1, kClr2, "¬ <b>newbie</b> ¬ idle"),
                                       R"(<font face="Arial Narrow">)"));
    EXPECT_THAT(client.other_calls, ::testing::IsEmpty());
}

}  // namespace
}  // namespace lullcast
