#include "client/quill_aol8/actions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "client_fixture.h"

namespace lullcast::quill_aol8 {
namespace {

namespace cls = client_class;
using std::chrono::milliseconds;

using ActionsTest = ClientTest;

std::vector<ReceivedMessage> ChatLineMessages(std::string_view text) {
    return {TextSet(""), TextSet(""), TextSet(""), TextSet(text), CharTyped(13)};
}
const std::vector<ReceivedMessage> kPress{ButtonDown(), KeyReleased(0x20)};
const std::vector<ReceivedMessage> kClick{ButtonDown(), ButtonUp()};

TEST_F(ActionsTest, ChatLinesGoToTheFrontRoomsInputOnly) {
    const Client aol = AddClient();
    const ChatRoom back = OpenChatRoom(aol.area);
    const ChatRoom front = OpenChatRoom(aol.area);
    std::vector<ReceivedMessage> expected;
    for (const std::string_view line : {"", "<font face=\"Arial Narrow\">x", "¬ rsn ¬ brb"}) {
        quill.SendChatLine(line);
        const std::vector<ReceivedMessage> sent = ChatLineMessages(line);
        expected.insert(expected.end(), sent.begin(), sent.end());
    }
    EXPECT_EQ(builder.Received(front.input), expected);
    EXPECT_TRUE(builder.Received(back.input).empty());
}

TEST_F(ActionsTest, WithoutAChatRoomTheLineIsLost) {
    const Client aol = AddClient();
    const ImWindow im = OpenImWindow(aol.area);
    quill.SendChatLine("lost");
    EXPECT_TRUE(builder.Received(im.body).empty());
}

TEST_F(ActionsTest, WithoutAChatRoomTheInputLookupFallsThroughToTopLevelWindows) {
    const WindowHandle stray_input = builder.Create(cls::kRichText);
    quill.SendChatLine("hi");
    EXPECT_EQ(builder.Received(stray_input), ChatLineMessages("hi"));
}

TEST_F(ActionsTest, FrontChildIconsAreClickedByStepping) {
    struct Case {
        int icons;
        int position;
        int expected;  // 1-based icon, 0 for none
    };
    for (const Case& c :
         {Case{8, 1, 1}, Case{8, 6, 6}, Case{4, 6, 1}, Case{5, 6, 0}, Case{8, 0, 0}}) {
        WindowBuilder local;
        const WindowHandle area = local.Create(cls::kMdiClient, local.Create(cls::kFrame));
        const WindowHandle child = local.Create(cls::kChild, area);
        std::vector<WindowHandle> icons;
        for (int i = 0; i < c.icons; ++i) {
            icons.push_back(local.Create(cls::kIcon, child));
        }
        QuillClient(local.Windows(), local.Loop()).ClickFrontChildIcon(c.position);
        for (int i = 0; i < c.icons; ++i) {
            const bool clicked = i + 1 == c.expected;
            EXPECT_EQ(local.Received(icons[static_cast<std::size_t>(i)]),
                      clicked ? kClick : std::vector<ReceivedMessage>{})
                << c.icons << " icons, position " << c.position << ", icon " << i + 1;
        }
    }
}

TEST_F(ActionsTest, AnOpenImWindowIsFilledAfterOnePressAndAPause) {
    const Client aol = AddClient();
    const ImWindow im = OpenImWindow(aol.area);
    const MonoTime start = loop.Now();
    quill.SendInstantMessage("$im_off", ".");
    EXPECT_GE(loop.Now() - start, milliseconds(300));
    EXPECT_EQ(builder.Received(aol.toolbar_icons[4]), kPress);
    EXPECT_EQ(builder.Received(im.recipient), (std::vector{TextSet(""), TextSet("$im_off")}));
    EXPECT_EQ(builder.Received(im.body), (std::vector{TextSet(""), TextSet(".")}));
    for (std::size_t i = 0; i < im.icons.size(); ++i) {
        EXPECT_EQ(builder.Received(im.icons[i]), i == 11 ? kPress : std::vector<ReceivedMessage>{})
            << "icon " << i + 1;
    }
}

TEST_F(ActionsTest, TheWindowOpenedByThePressIsTheOneFilled) {
    const Client aol = AddClient();
    const ImWindow old_im = OpenImWindow(aol.area);
    std::optional<ImWindow> new_im;
    builder.OnReceive(aol.toolbar_icons[4], [&](const ReceivedMessage& message) {
        if (message.kind == MessageKind::kKeyUp && !new_im) {
            new_im = OpenImWindow(aol.area);
        }
    });
    quill.SendInstantMessage("$im_on", ".");
    ASSERT_TRUE(new_im.has_value());
    EXPECT_EQ(builder.Received(new_im->recipient), (std::vector{TextSet(""), TextSet("$im_on")}));
    EXPECT_EQ(builder.Received(new_im->icons[11]), kPress);
    EXPECT_TRUE(builder.Received(old_im.recipient).empty());
}

TEST_F(ActionsTest, TheToolbarIconIsPressedOncePerAttemptUntilTheWindowOpens) {
    const Client aol = AddClient();
    int presses = 0;
    std::optional<ImWindow> im;
    builder.OnReceive(aol.toolbar_icons[4], [&](const ReceivedMessage& message) {
        if (message.kind == MessageKind::kKeyUp && ++presses == 3) {
            im = OpenImWindow(aol.area);
        }
    });
    quill.SendInstantMessage("$im_off", ".");
    EXPECT_EQ(presses, 3);
    ASSERT_TRUE(im.has_value());
    EXPECT_EQ(builder.Received(im->body), (std::vector{TextSet(""), TextSet(".")}));
    EXPECT_EQ(builder.Received(im->icons[11]), kPress);
}

TEST_F(ActionsTest, WithoutAnImWindowItGivesUpAfterTwentyAttemptsAndStaysResponsive) {
    const Client aol = AddClient();
    const ChatRoom room = OpenChatRoom(aol.area);
    // Filling a window that is not there would send the recipient here.
    const WindowHandle stray_edit = builder.Create(cls::kEdit);
    int ticks = 0;
    builder.Every(milliseconds(100), [&] {
        if (++ticks % 10 == 0) {
            quill.SendChatLine("tick");
        }
    });
    const MonoTime start = loop.Now();
    quill.SendInstantMessage("$im_off", ".");
    const auto waited = loop.Now() - start;

    std::vector<ReceivedMessage> twenty_presses;
    for (int attempt = 0; attempt < kImWindowAttempts; ++attempt) {
        twenty_presses.insert(twenty_presses.end(), kPress.begin(), kPress.end());
    }
    EXPECT_EQ(builder.Received(aol.toolbar_icons[4]), twenty_presses);
    EXPECT_TRUE(builder.Received(stray_edit).empty());
    EXPECT_GE(waited, milliseconds(6000));
    EXPECT_LT(waited, milliseconds(9000));
    // The timer kept running during the wait, and could post into the room.
    EXPECT_GE(ticks, 40);
    EXPECT_GE(builder.Received(room.input).size(), 4 * ChatLineMessages("tick").size());
}

}  // namespace
}  // namespace lullcast::quill_aol8
