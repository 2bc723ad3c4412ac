// The away log: which lines name the user, its exact entries, and the flow of
// a period on the virtual clock. Which lines are new, and a mention's rules
// against a plain reference, the away log's fuzz target checks over its
// corpus, which every native build replays.
#include "app/away_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <iconv.h>
#endif

#include "support/app_harness.h"

namespace lullcast {
namespace {

TEST(NamesHandleTest, TheHandleAsAWordOfItsOwnInAnyCase) {
    const struct {
        std::string_view line, handle;
        bool named;
    } cases[] = {
        {"bob, you there?", "Bob", true},
        {"bobcat", "Bob", false},
        {"jimbob", "Bob", false},
        {"bob2 is here", "Bob", false},
        {"émiles", "Émile", false},
        {"¬Bob¬", "bob", true},
        // The neighbours of ASCII's letters and digits end words.
        {"@bob[", "Bob", true},
        {"`bob{", "Bob", true},
        {"/bob:", "Bob", true},
        {"÷bob×", "Bob", true},
        // Punctuation and symbols of the code pages end words, letters of any script do not.
        {"“Bob” are you there", "Bob", true},
        {"Bob’s turn", "Bob", true},
        {"hey Bob…", "Bob", true},
        {"Bob—you there?", "Bob", true},
        {"€bob¹", "Bob", true},
        {"「bob」", "Bob", true},
        {"bobň", "Bob", false},
        {"Бобик", "Боб", false},
        {"µbob", "Bob", false},
        // A match that fails at its edge gives way to one that overlaps it.
        {"xb.b.b", "b.b", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NamesHandle(c.line, c.handle), c.named) << c.line << " / " << c.handle;
    }

    // Every capital of ASCII and Latin-1 (× aside) is its small letter, both
    // ways; nothing else folds, not even the same second byte after C4.
    const auto utf8 = [](char32_t c) {
        return c < 0x80 ? std::string(1, static_cast<char>(c))
                        : std::string{static_cast<char>(0xC0 | (c >> 6U)),
                                      static_cast<char>(0x80 | (c & 0x3FU))};
    };
    for (char32_t capital = 'A'; capital <= 0xDE; ++capital) {
        if ((capital > 'Z' && capital < 0xC0) || capital == 0xD7) continue;
        const std::string upper = utf8(capital), lower = utf8(capital + 0x20);
        EXPECT_TRUE(NamesHandle("hi " + upper, lower)) << upper;
        EXPECT_TRUE(NamesHandle("hi " + lower, upper)) << upper;
    }
    for (const char32_t capital : {U'@', U'[', U'\xD7', U'\xDF', U'\x100'}) {
        EXPECT_FALSE(NamesHandle(utf8(capital), utf8(capital + 0x20))) << utf8(capital);
        EXPECT_FALSE(NamesHandle(utf8(capital + 0x20), utf8(capital))) << utf8(capital);
    }
}

TEST(ShowsPostedTest, ThePostedTextAloneOrBehindOneScreenName) {
    const struct {
        std::string_view line;
        bool own;
    } cases[] = {
        {"¬ Bob ¬ idle", true},
        {" Tester: ¬ Bob ¬ idle ", true},
        {"Eve: Bob look at this: ¬ Bob ¬ idle", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShowsPosted(c.line, "¬ Bob ¬ idle"), c.own) << c.line;
    }
}

std::string Repeated(std::string_view text, std::size_t times) {
    std::string repeated;
    while (times-- > 0) repeated += text;
    return repeated;
}

TEST(AwayLogTest, NewMentionsBehindTheirTimeAndNeverTheProgramsOwnLines) {
    // A new log is as a period begins; a transcript read from its head only
    // is told once. A window of none is no room.
    AwayLog log;
    const std::string seen = "Al: bob?\n";
    log.Look(WindowHandle::kNone, "", "Bob", "09:59:59");
    log.Look(WindowHandle::kNone, seen, "Bob", "09:59:59");
    log.Look(WindowHandle{1}, seen, "Bob", "10:00:00", true);
    log.NotePosted("¬ activated ¬ by. Bob");
    const std::string later = seen +
                              "Bob: ¬ activated ¬ by. Bob\n"
                              "¬ activated ¬ by. Bob\n"
                              "Al: well, Bob ¬ activated ¬ by. Bob\n"
                              "Eve: bobcat\n";
    log.Look(WindowHandle{1}, later, "Bob", "10:00:01", true);
    log.Look(WindowHandle{1}, later + "Eve: BOB!\r\n", "Bob", "10:00:02");
    EXPECT_EQ(log.MentionList(), "10:00:00  " + std::string(AwayLog::kEndUnread) +
                                     "\r\n10:00:01  Al: well, Bob ¬ activated ¬ by. Bob\r\n"
                                     "10:00:02  Eve: BOB!");

    // The report posts its idle line every minute among new lines: posted
    // again, it is recent again, also in the minute when a line posted once
    // would have been the oldest of the texts kept (32 of them).
    const std::string idle = "¬ Bob ¬ idle";
    for (int minute = 1; minute <= 32; ++minute) {
        log.NotePosted(idle);
        log.NotePosted("¬ hrs: [00] ¬ mins: [" + std::to_string(minute) + "]");
    }
    log.Look(WindowHandle{1}, later + "Eve: BOB!\r\nBob: " + idle + "\n", "Bob", "10:40:00");
    EXPECT_TRUE(log.MentionList().ends_with("Eve: BOB!")) << log.MentionList();
    // Of more texts than are kept, the least recently posted goes.
    log.Begin();
    log.Look(WindowHandle{1}, "", "Bob", "t");
    for (int i = 0; i <= 32; ++i) log.NotePosted("¬ Bob ¬ " + std::to_string(i));
    log.Look(WindowHandle{1}, "Bob: ¬ Bob ¬ 0\nBob: ¬ Bob ¬ 1\n", "Bob", "t");
    EXPECT_EQ(log.MentionList(), "t  Bob: ¬ Bob ¬ 0");

    // A new period forgets the last. A listed line keeps at most 1,024
    // characters, cut at a character's edge; a transcript whose end went
    // unread is told once.
    log.Begin();
    log.Look(WindowHandle{1}, "", "Bob", "t");
    const std::string whole = "bob " + Repeated("é", 1020);
    log.Look(WindowHandle{1}, whole + "\nbob é" + whole.substr(4) + "\n", "Bob", "t", true);
    log.Look(WindowHandle{1}, "x\n", "Bob", "u", true);
    EXPECT_EQ(log.MentionList(), "t  " + whole + "\r\nt  bob " + Repeated("é", 1019) + "…\r\nt  " +
                                     std::string(AwayLog::kEndUnread));

    // A tail read whose head moved on: what follows the overlap is new.
    log.Begin();
    log.Look(WindowHandle{1}, "Al: hi\nAl: ho\n", "Bob", "t");
    log.Look(WindowHandle{1}, "Al: ho\nEve: bob?\n", "Bob", "u");
    EXPECT_EQ(log.MentionList(), "u  Eve: bob?");

    // A flood keeps its first mentions only.
    log.Begin();
    log.Look(WindowHandle{1}, "", "Bob", "t");
    std::string flood;
    for (std::size_t i = 0; i <= 500; ++i) flood += "bob\n";
    log.Look(WindowHandle{1}, flood, "Bob", "t");
    EXPECT_EQ(log.MentionList().size(), 500 * 8 - 2);
}

}  // namespace

namespace testing {
namespace {

// Start, two ticks with others talking, then Stop or Exit; the program's own
// lines reach the transcript behind the user's name.
std::vector<std::string> Period(bool away_log, bool exit) {
    AppHarness app;
    app.settings.away_log = away_log;
    app.transcript = "Al: bob, old news\n";
    app.LoadQuietly();
    app.Mark();
    app.StartIdling();
    app.RunTicks(1);
    *app.transcript += "Al: bob, you there?\nEve: bobcat\n";
    app.RunTicks(1);
    *app.transcript += "Eve: BOB!\n";
    try {
        exit ? app.form.Exit_Click() : app.form.SSCommand2_Click();
    } catch (const ProgramEnded&) {
    }
    std::vector<std::string> log = app.Log("read");
    const std::vector<std::string> shown = app.Log("mentions");
    log.insert(log.end(), shown.begin(), shown.end());
    return log;
}

TEST(Form1AwayLogTest, ReadsOnlyWhenOnAndShowsTheMentionsAtStopOnly) {
    EXPECT_EQ(Period(false, false), std::vector<std::string>{});
    EXPECT_EQ(Period(true, false),
              (std::vector<std::string>{"0 read", "1000 read", "2000 read", "2000 read",
                                        "2600 mentions 2  Al: bob, you there?\r\n2  Eve: BOB!"}));
    EXPECT_EQ(Period(true, true), (std::vector<std::string>{"0 read", "1000 read", "2000 read"}));
}

// Each Start begins a log of its own: what was said while the user was back
// is old by then, and what the last period listed is gone.
TEST(Form1AwayLogTest, APeriodListsOnlyWhatWasSaidInIt) {
    AppHarness app;
    app.settings.away_log = true;
    app.transcript = "";
    app.LoadQuietly();
    for (const auto& [said, listed] :
         {std::pair{"Al: bob, first", "1600 mentions 1  Al: bob, first"},
          std::pair{"Al: bob, second", "1600 mentions 3  Al: bob, second"}}) {
        app.Mark();
        app.StartIdling();
        app.RunTicks(1);
        *app.transcript += std::string(said) + "\n";
        app.form.SSCommand2_Click();
        *app.transcript += "Eve: bob, while you were back\n";
        EXPECT_EQ(app.Log("mentions"), std::vector<std::string>{listed});
    }
}

#ifndef _WIN32
// Every character of the ANSI code pages, as the C library decodes them, makes
// words exactly when Unicode calls it a letter, a mark or a decimal digit. The
// C library's classes stand for Unicode's but for those it files otherwise:
// the code pages' combining marks (not alphanumeric there) and the letter
// numbers and circled letters (alphanumeric there).
TEST(WordCharacterTest, EveryCharacterOfTheCodePagesAsUnicodeClassesIt) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const auto filed_otherwise = [](char32_t c) {
        const std::pair<char32_t, char32_t> ranges[] = {
            {0x0300, 0x0301}, {0x0303, 0x0303}, {0x0309, 0x0309}, {0x0323, 0x0323},
            {0x0E47, 0x0E4C}, {0x0E4E, 0x0E4E}, {0x2160, 0x2179}, {0x24D0, 0x24E9},
            {0x3007, 0x3007}, {0x3021, 0x3029}};
        return std::ranges::any_of(ranges, [c](auto r) { return r.first <= c && c <= r.second; });
    };
    std::size_t characters = 0;
    const std::pair<const char*, bool> pages[] = {
        {"CP874", false},  {"CP932", true},   {"CP936", true},   {"CP949", true},
        {"CP950", true},   {"CP1250", false}, {"CP1251", false}, {"CP1252", false},
        {"CP1253", false}, {"CP1254", false}, {"CP1255", false}, {"CP1256", false},
        {"CP1257", false}, {"CP1258", false}};
    for (const auto& [page, double_byte] : pages) {
        const iconv_t decoder = iconv_open("UTF-32LE", page);
        ASSERT_NE(decoder, reinterpret_cast<iconv_t>(-1)) << page;
        // Single bytes beyond ASCII, and lead and trail bytes where a page has them.
        for (unsigned code = 0x80; code <= (double_byte ? 0xFEFFU : 0xFFU); ++code) {
            std::array<char, 2> bytes = {static_cast<char>(code >> 8), static_cast<char>(code)};
            char* in = code > 0xFF ? bytes.data() : &bytes[1];
            std::size_t in_left = code > 0xFF ? 2 : 1;
            std::array<char32_t, 2> decoded{};
            char* out = reinterpret_cast<char*>(decoded.data());
            std::size_t out_left = sizeof decoded;
            iconv(decoder, nullptr, nullptr, nullptr, nullptr);
            if (iconv(decoder, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) ||
                out_left != sizeof(char32_t)) {
                continue;  // no character, or a cut one
            }
            const char32_t c = decoded[0];
            const bool in_words =
                (std::iswalnum(static_cast<wint_t>(c)) != 0) != filed_otherwise(c);
            EXPECT_EQ(IsWordCharacter(c), in_words) << page << " U+" << std::hex << unsigned{c};
            ++characters;
        }
        iconv_close(decoder);
    }
    EXPECT_GT(characters, 60000U);
}
#endif

}  // namespace
}  // namespace testing
}  // namespace lullcast
