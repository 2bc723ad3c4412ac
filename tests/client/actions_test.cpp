#include "client/quill_aol8/actions.h"

#include <chrono>

#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

using std::chrono::milliseconds;
using ActionsTest = ClientTest;
using Journal = std::vector<ReceivedMessage>;

// What the input of a room receives for one line: the read of the user's
// draft (its length, then the text with room for the terminator), the
// clearings, the line, Enter, and a draft put back with the caret at its end.
Journal ChatLine(std::string_view text, std::string_view draft = "") {
    const auto length = static_cast<std::uint32_t>(draft.size());
    Journal journal = {ReceivedMessage{MessageKind::kGetTextLength, 0, {}, 0},
                       ReceivedMessage{MessageKind::kGetText, length + 1, {}, 0}};
    journal.insert(journal.end(), {TextSet(""), TextSet(""), TextSet(""), TextSet(text), kEnter});
    if (!draft.empty()) {
        journal.insert(journal.end(),
                       {TextSet(draft), {MessageKind::kSetSelection, length, {}, length}});
    }
    return journal;
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

TEST_F(ActionsTest, ChatLinesGoToTheFrontRoomsInputAndTheUsersDraftComesBack) {
    const ChatRoom back = OpenChatRoom();
    const ChatRoom front = OpenChatRoom();
    quill.SendChatLine("¬ rsn ¬ brb €");
    EXPECT_EQ(b.Received(front.input), ChatLine("¬ rsn ¬ brb €"));
    EXPECT_TRUE(b.Received(back.input).empty());

    b.Type(back.input, "draft");
    b.Type(front.input, "hello every");
    quill.SendChatLine("line");
    const Journal both = b.Received(front.input);
    const Journal second(both.begin() + 7, both.end());
    EXPECT_EQ(second, ChatLine("line", "hello every"));
    EXPECT_EQ(b.Text(front.input), "hello every");
    EXPECT_EQ(b.Text(back.input), "draft");

    // More than can be kept whole: the input is left alone and the line not sent.
    const std::string too_long(kLongestDraft + 1, 'x');
    b.Type(front.input, too_long);
    quill.SendChatLine("line");
    EXPECT_EQ(b.Received(front.input).size(), 7 + second.size() + 2);
    EXPECT_EQ(b.Text(front.input), too_long);
}

#ifndef _WIN32
// A client whose window thread stops part-way gets none of the operation's
// later messages. Once it answers again, the input is left as the user had it:
// the draft goes back where the line left the input empty or left the unsent
// line behind (Wine drops a message whose sender stopped waiting).
TEST_F(ActionsTest, AClientThatStopsAnsweringGetsNothingMoreAndTheDraftBackLater) {
    struct Case {
        const char* name;
        std::size_t answered;  // by the input before it stops
        std::string_view draft, meanwhile, settled;
    } const cases[] = {
        {"stopped at the read", 0, "hi", "hi", "hi"},
        {"stopped at a clearing", 2, "hi", "hi", "hi"},
        {"stopped in Enter", 6, "hi", "", "hi"},
        {"stopped before Enter", 6, "hi", "line", "hi"},
        {"stopped at the draft", 7, "hi", "", "hi"},
        {"left the line unsent", 6, "", "line", ""},
        {"typed anew meanwhile", 6, "hi", "new", "new"},
        {"typed on after the line", 6, "hi", "line and more", "line and more"},
    };
    for (const Case& c : cases) {
        const ChatRoom room = OpenChatRoom();
        b.Type(room.input, c.draft);
        b.StopAnsweringAfter(room.input, c.answered);
        quill.SendChatLine("line");
        Journal expected = ChatLine("line", c.draft);
        expected.resize(std::min(c.answered + 1, expected.size()));
        EXPECT_EQ(b.Received(room.input), expected) << c.name;
        quill.CatchUp();
        b.AnswerAgain(room.input);
        b.Type(room.input, c.meanwhile);
        // The next line settles it first, and keeps what it settled to.
        quill.SendChatLine("next");
        const Journal received = b.Received(room.input), next = ChatLine("next", c.settled);
        EXPECT_EQ(Journal(received.end() - std::ssize(next), received.end()), next) << c.name;
        // Settled once: a draft the user then clears stays cleared.
        b.Type(room.input, "");
        quill.CatchUp();
        EXPECT_EQ(b.Text(room.input), "") << c.name;
    }

    const ImWindow im = OpenImWindow();
    b.StopAnsweringAfter(toolbar[4], 0);
    const MonoTime pressed = b.Now();
    quill.SendInstantMessage("$im_off", ".");
    EXPECT_EQ(b.Received(toolbar[4]), Journal{kButtonDown});
    EXPECT_EQ(b.Now(), pressed);  // no pause, no second attempt
    b.StopAnsweringAfter(toolbar[4], 100);
    b.StopAnsweringAfter(im.recipient, 1);
    quill.SendInstantMessage("$im_off", ".");
    EXPECT_EQ(b.Received(im.recipient), Filled("$im_off"));
    EXPECT_TRUE(b.Received(im.body).empty());
    EXPECT_TRUE(b.Received(im.icons[11]).empty());
}
#endif

// A control that keeps no lines is read from its head: at most the bound and
// one byte more, the whole lines within the bound, and a mark when it goes on
// (a cut line would look new at every read).
TEST_F(ActionsTest, TheTranscriptReadIsBoundedAndEndsOnAWholeLine) {
    EXPECT_FALSE(ReadFrontTranscript(b.windows, b, 4));
    OpenChatRoom();
    const ChatRoom front = OpenChatRoom();
    const WindowHandle transcript = b.windows.FindChild(front.window, kNone, "richcntlreadonly");
    const struct {
        std::string_view text, read;
        bool end_unread;
    } cases[] = {{"a\nb\n", "a\nb\n", false},
                 {"a\r\nb\n", "a\r\n", true},
                 {"abcdef\n", "", true},
                 {"a\nbcd", "a\n", true}};
    for (const auto& c : cases) {
        b.Type(transcript, c.text);
        const auto read = ReadFrontTranscript(b.windows, b, 4);
        ASSERT_TRUE(read) << c.text;
        EXPECT_EQ(read->text, c.read) << c.text;
        EXPECT_EQ(read->end_unread, c.end_unread) << c.text;
        EXPECT_EQ(read->room, transcript);
    }
    b.Type(transcript, std::string(100'000, 'x'));
    static_cast<void>(ReadFrontTranscript(b.windows, b, 4));
    EXPECT_EQ(b.Received(transcript).back(), (ReceivedMessage{MessageKind::kGetText, 6, {}, 0}));
}

#ifndef _WIN32
std::string Lines(int first, int end) {
    std::string lines;
    for (int line = first; line < end; ++line) lines += "line " + std::to_string(line) + "\n";
    return lines;
}

// A control that answers the line messages is read from its end, whatever it
// holds, in at most 201 messages (a hundred lines): shown lines it wrapped are
// joined, and the tail starts at its first whole line.
TEST_F(ActionsTest, TheTranscriptsEndIsReadByItsLinesWhereTheControlKeepsThem) {
    const std::string wrapped = std::string(25, 'w') + "\n";  // three shown lines of ten
    const int tail = 100;
    const struct {
        std::size_t wrap;
        std::string text, read;
        bool gives_breaks = false;  // as a rich edit control gives its lines
    } cases[] = {
        {0, "", ""},
        {0, "a\r\nb\r\n", "a\nb\n"},
        {0, "a\r\nb\nc", "a\nb\nc", true},
        {3, "abcdefg\nhi\n\nabc", "abcdefg\nhi\n\nabc"},
        {3, "abcdefg\r\nhi\n\nabc", "abcdefg\nhi\n\nabc", true},
        // The text's last break leaves an empty shown line; the first shown
        // line read may be the end of one above it, and is left out.
        {0, Lines(0, 20'000), Lines(20'000 - tail + 2, 20'000)},
        // A line longer than 4,096 characters is read up to there, and ends.
        {0, std::string(5000, 'x') + "\nb\n", std::string(4096, 'x') + "\nb\n"},
        {0, std::string(5000, 'x') + "\nb\n", std::string(4096, 'x') + "\nb\n", true},
        {10, Lines(0, 1) + wrapped + Lines(1, tail - 2), Lines(1, tail - 2)},
        {10, Lines(0, 1) + wrapped + Lines(1, tail - 4),
         Lines(0, 1) + wrapped + Lines(1, tail - 4)},
    };
    for (const auto& c : cases) {
        const ChatRoom room = OpenChatRoom();
        const WindowHandle shown = b.windows.FindChild(room.window, kNone, "richcntlreadonly");
        b.KeepLines(shown, c.wrap, std::numeric_limits<std::size_t>::max(), c.gives_breaks);
        b.Type(shown, c.text);
        const auto read = quill.ReadFrontTranscript();
        ASSERT_TRUE(read) << c.text.substr(0, 40);
        EXPECT_EQ(read->text, c.read) << c.text.substr(0, 40);
        EXPECT_FALSE(read->end_unread);
        EXPECT_LE(b.Received(shown).size(), 201U);
    }

    // A copy cut short on the way (Wine's EM_GETLINE between processes) is
    // no line: the head is read instead, and marked where it goes on.
    {
        const ChatRoom room = OpenChatRoom();
        const WindowHandle shown = b.windows.FindChild(room.window, kNone, "richcntlreadonly");
        b.KeepLines(shown, 0, 20);
        b.Type(shown, "a line longer than the copy\nb\n");
        const auto read = ReadFrontTranscript(b.windows, b, 8);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->text, "");
        EXPECT_TRUE(read->end_unread);
    }

    // A control that stops answering part-way gives nothing.
    const WindowHandle transcript =
        b.windows.FindChild(OpenChatRoom().window, kNone, "richcntlreadonly");
    b.KeepLines(transcript, 0);
    b.Type(transcript, Lines(0, 3));
    for (const std::size_t answered : {0U, 2U, 4U}) {
        b.StopAnsweringAfter(transcript, answered);
        EXPECT_FALSE(ReadFrontTranscript(b.windows, b)) << answered;
    }
}
#endif

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
    // What is pending when it is called runs before the press.
    std::size_t received_first = 99;
    b.Post([&] { received_first = b.Received(toolbar[4]).size(); });
    quill.SendInstantMessage("$im_off", "¬ off");
    EXPECT_EQ(received_first, 0U);
    ExpectOnly(b, toolbar, 5, kPress);
    EXPECT_EQ(b.Received(im.recipient), Filled("$im_off"));
    EXPECT_EQ(b.Received(im.body), Filled("¬ off"));
    ExpectOnly(b, im.icons, 12, kPress);
}

// Every press opens a new IM window in front of the others, which the client
// builds a child at a time: it carries the IM signature long before its
// twelfth icon exists (with 6 icons "the twelfth" would step round to the
// fifth). The search walks past the half-built windows in front to the first
// one built whole, and only that one is filled and sent.
TEST_F(ActionsTest, TheFrontMostImWindowBuiltWholeIsUsed) {
    std::vector<ImWindow> opened;
    std::size_t presses = 0;
    // The client answers a press a little later, and adds an icon to each
    // window every 100 ms.
    b.Every(milliseconds(100), [&] {
        for (ImWindow& im : opened) {
            if (im.icons.size() < kImSendIconPosition)
                im.icons.push_back(b.Create(cls::kIcon, im.window));
        }
        for (; presses < b.Received(toolbar[4]).size() / kPress.size(); ++presses) {
            const WindowHandle window = b.Create(cls::kChild, area, {cls::kStatic});
            opened.push_back({window,
                              b.Create(cls::kEdit, window),
                              b.Create(cls::kRichText, window),
                              {b.Create(cls::kIcon, window)}});
            b.BringToTop(window);
        }
    });
    quill.SendInstantMessage("$im_on", ".");
    // One window was filled and sent: built whole, and with windows in front
    // of it that are still half-built now that the client has stopped.
    const auto used = std::ranges::find_if(
        opened, [&](const ImWindow& im) { return !b.Received(im.recipient).empty(); });
    ASSERT_NE(used, opened.end());
    ASSERT_LT(opened.size(), std::size_t{kImWindowAttempts});
    EXPECT_EQ(b.Received(used->recipient), Filled("$im_on"));
    EXPECT_EQ(b.Received(used->body), Filled("."));
    ExpectOnly(b, used->icons, 12, kPress);
    EXPECT_NE(used + 1, opened.end());
    for (auto im = opened.begin(); im != opened.end(); ++im) {
        if (im == used) continue;
        EXPECT_TRUE(b.Received(im->recipient).empty()) << "window " << im - opened.begin();
        ExpectOnly(b, im->icons, 0, {});
        if (im > used) {
            EXPECT_LT(im->icons.size(), std::size_t{kImSendIconPosition});
        }
    }
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
