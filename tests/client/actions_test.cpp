#include "client/quill_aol8/actions.h"

#include <chrono>

#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

using std::chrono::milliseconds;
using ActionsTest = ClientTest;
using Journal = std::vector<ReceivedMessage>;

Journal ChatLine(std::string_view text) {
    return {TextSet(""), TextSet(""), TextSet(""), TextSet(text), kEnter};
}
Journal Filled(std::string_view text) { return {TextSet(""), TextSet(text)}; }
const Journal kPress{kButtonDown, kSpaceUp};

// Of `windows`, the one at `position` (from 1) received `journal`, the others nothing.
void ExpectOnly(const WindowBuilder& b, const std::vector<WindowHandle>& windows, int position,
                const Journal& journal) {
    for (int i = 1; const WindowHandle window : windows) {
        EXPECT_EQ(b.Received(window), i++ == position ? journal : Journal{}) << "window " << i - 1;
    }
}

TEST_F(ActionsTest, ChatLinesGoToTheFrontRoomsInput) {
    const ChatRoom back = OpenChatRoom();
    const ChatRoom front = OpenChatRoom();
    quill.SendChatLine("¬ rsn ¬ brb €");
    EXPECT_EQ(b.Received(front.input), ChatLine("¬ rsn ¬ brb €"));
    EXPECT_TRUE(b.Received(back.input).empty());
}

TEST(Actions, FrontChildIconsAreClickedByStepping) {
    struct Case {
        int icons, position, expected;  // 1-based, 0 for none
    } const cases[] = {{8, 1, 1}, {8, 6, 6}, {5, 6, 0}, {8, 0, 0}};
    for (const Case& c : cases) {
        WindowBuilder b;
        const WindowHandle area = b.Create(cls::kMdiClient, b.Create(cls::kFrame));
        const auto icons = b.Create(cls::kIcon, b.Create(cls::kChild, area), c.icons);
        QuillClient(b.windows, b).ClickFrontChildIcon(c.position);
        SCOPED_TRACE(c.position);
        ExpectOnly(b, icons, c.expected, {kButtonDown, kButtonUp});
    }
}

TEST_F(ActionsTest, AnOpenImWindowIsFilledAfterOnePressAndAPause) {
    const ImWindow im = OpenImWindow();
    quill.SendInstantMessage("$im_off", "¬ off");
    ExpectOnly(b, toolbar, 5, kPress);
    EXPECT_EQ(b.Received(im.recipient), Filled("$im_off"));
    EXPECT_EQ(b.Received(im.body), Filled("¬ off"));
    ExpectOnly(b, im.icons, 12, kPress);
}

// The press opens a new IM window in front of an older one, a child at a
// time: it carries the IM signature before its twelfth icon exists (with 6
// icons "the twelfth" steps round to the fifth, with 11 to none). Only the
// new window is filled and sent, once it is built.
TEST_F(ActionsTest, TheWindowThePressOpensIsUsedOnceItIsBuilt) {
    const ImWindow old_im = OpenImWindow();
    WindowHandle im = kNone;
    std::vector<WindowHandle> icons;
    // The client answers a press a little later, from its event loop.
    b.Every(milliseconds(10), [&] {
        const std::size_t presses = b.Received(toolbar[4]).size() / kPress.size();
        if (presses == 1 && !IsWindow(im)) {
            im = b.Create(cls::kChild, area, {cls::kStatic, cls::kEdit, cls::kRichText});
            b.BringToTop(im);
        }
        const std::size_t built[] = {0, 6, 11, kImSendIconPosition};
        while (icons.size() < built[std::min<std::size_t>(presses, 3)]) {
            icons.push_back(b.Create(cls::kIcon, im));
        }
    });
    quill.SendInstantMessage("$im_on", ".");
    EXPECT_EQ(b.Received(toolbar[4]).size(), 3 * kPress.size());
    EXPECT_EQ(b.Received(b.windows.FindChild(im, kNone, cls::kEdit)), Filled("$im_on"));
    ExpectOnly(b, icons, 12, kPress);
    EXPECT_TRUE(b.Received(old_im.recipient).empty());
}

TEST_F(ActionsTest, WithoutAnImWindowItGivesUpAfterTwentyAttemptsAndStaysResponsive) {
    const ChatRoom room = OpenChatRoom();
    // Filling a window that is not there would send the recipient here.
    const WindowHandle stray_edit = b.Create(cls::kEdit);
    int ticks = 0;
    b.Every(milliseconds(100), [&] {
        if (++ticks % 10 == 0) quill.SendChatLine("tick");
    });
    const MonoTime start = b.Now();
    quill.SendInstantMessage("$im_off", ".");
    const auto waited = b.Now() - start;
    EXPECT_EQ(b.Received(toolbar[4]).size(), kImWindowAttempts * kPress.size());
    EXPECT_TRUE(b.Received(stray_edit).empty());
    EXPECT_GE(waited, milliseconds(6000));
    EXPECT_LT(waited, milliseconds(9000));
    // The timer kept running during the wait, and could post into the room.
    EXPECT_GE(ticks, 40);
    EXPECT_GE(b.Received(room.input).size(), 4 * ChatLine("tick").size());
}

}  // namespace
}  // namespace lullcast::quill_aol8
