// The settings file through the real profile functions, so under Wine only.
#include "settings/profile_handle_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_win.h"
#include "settings/profile_away_settings.h"
#include "settings/profile_settings_store.h"
#include "support/scratch_folder_win.h"

namespace lullcast::testing {
namespace {

using Bytes = std::optional<std::string>;  // a file's bytes; nothing: no file

std::string Entry(std::string_view value) {
    return "[LullCast]\r\nHANDLE=" + std::string(value) + "\r\n";
}

// As Windows' editor saves "Unicode": the byte-order mark FF FE, then UTF-16LE.
std::string Utf16File(std::string_view text) {
    const std::wstring units = WidenUtf8(text);  // little-endian, as the machine is
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(units.data()), 2 * units.size());
}

// A folder whose name the ANSI code page cannot hold, as the narrow profile
// functions would need it.
class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()); }

    ScratchFolder folder{L" Ωμέγα 漢字"};
    const std::filesystem::path file = folder.Path() / "info.ini";
    ProfileHandleStore store{file};
};

TEST_F(SettingsFileTest, LoadsAndSavesTheHandleOnOneLineInTheFilesOwnEncoding) {
    const std::string a400 = std::string(400, 'a');
    struct Case {
        Bytes before;
        std::optional<std::string> save;  // nothing: only a load, which writes nothing
        std::string loaded;
        Bytes after = std::nullopt;
        bool western = false;  // needs the ANSI code page 1252
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, ""},
        {Entry(" \"big bob\"  "), std::nullopt, "big bob"},
        {"[LULLCAST]\r\nHandle=bob\r\n", std::nullopt, "bob"},
        {Entry(a400 + std::string(400, 'b')), std::nullopt, a400 + std::string(349, 'b')},
        {std::nullopt, "newbie", "newbie", Entry("newbie")},
        {"[Other]\r\nHANDLE=eve\r\n[lullcast]\r\nhandle=bob\r\nColour=red\r\n", "alice", "alice",
         "[Other]\r\nHANDLE=eve\r\n[lullcast]\r\nhandle=alice\r\nColour=red\r\n"},
        {Entry("bob"), "", "", Entry("")},
        {std::nullopt, "bob\r\nHANDLE=mallory", "bob  HANDLE=mallory",
         Entry("bob  HANDLE=mallory")},
        {std::nullopt, "a\rb\n[Other]", "a b [Other]", Entry("a b [Other]")},
        // An ANSI file: no look-alikes ("O" for "Ω"), one "?" per missing character.
        {Entry("Ren\xE9"), std::nullopt, "René", std::nullopt, true},
        {std::nullopt, "Zoë ¬", "Zoë ¬", Entry("Zo\xEB \xAC"), true},
        {std::nullopt, "Ωmega ā 😀!", "?mega ? ?!", Entry("?mega ? ?!"), true},
        // A UTF-16 file stays UTF-16 and keeps every character.
        {Utf16File(Entry("Ωmegaé")), std::nullopt, "Ωmegaé"},
        {Utf16File(Entry("Ωmegaé")), "Zoë 😀\r\nHANDLE=eve", "Zoë 😀  HANDLE=eve",
         Utf16File(Entry("Zoë 😀  HANDLE=eve"))},
        // So does one that holds its byte-order mark only, as an editor saves it empty.
        {Utf16File(""), "Zoë 😀", "Zoë 😀", Utf16File(Entry("Zoë 😀"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.save.value_or(c.before.value_or("(no file)")));
        if (c.western && GetACP() != 1252) continue;
        std::filesystem::remove(file);
        ASSERT_TRUE(!c.before || WriteFileBytes(file, *c.before));
        if (c.save) store.SaveHandle(*c.save);
        EXPECT_EQ(store.LoadHandle(), c.loaded);
        EXPECT_EQ(ReadFileBytes(file), c.save ? c.after : c.before);
    }
}

TEST_F(SettingsFileTest, ReadsTheAwaySettingsAndTellsAnEmptyReasonFromNone) {
    ASSERT_TRUE(
        WriteFileBytes(file, "[lullcast]\r\nAUTOAWAY=10\r\nAUTOREASON=\r\nreportminutes=15\r\n"));
    const AwaySettings read = LoadAwaySettings(file);
    EXPECT_EQ(read.auto_away_minutes, 10);
    EXPECT_EQ(read.auto_reason, "");
    EXPECT_EQ(read.report_minutes, 15);
    std::filesystem::remove(file);
    EXPECT_EQ(LoadAwaySettings(file).auto_reason, "auto-away");
}

// What the settings dialog writes: its entries set, replaced and removed in
// place, every other line, section and comment kept, in the file's own
// encoding, and the settings read back as written.
TEST_F(SettingsFileTest, TheDialogsEntriesKeepTheRestOfTheFileAndItsEncoding) {
    ProfileSettingsStore settings{file, L""};
    const std::string kept = "; mine\r\n[LullCast]\r\nHANDLE=Zoë\r\nfade=#000000,#FFFFFF\r\n";
    const struct {
        std::optional<std::string> value;  // nothing: removed
        std::string fade_line;             // what the file then holds for it
    } writes[] = {
        {"#FF0000, #0000FF", "fade=#FF0000, #0000FF\r\n"},
        {std::nullopt, ""},
        {"#123456, #654321", "FADE=#123456, #654321\r\n"},
    };
    for (const bool utf16 : {false, true}) {
        SCOPED_TRACE(utf16 ? "UTF-16" : "ANSI");
        const auto as_stored = [utf16](const std::string& text) {
            return utf16 ? Utf16File(text) : NarrowToAnsi(WidenUtf8(text));
        };
        ASSERT_TRUE(WriteFileBytes(file, as_stored(kept + "[Other]\r\nx=1\r\n")));
        for (const auto& [value, fade_line] : writes) {
            EXPECT_TRUE(settings.WriteEntry("FADE", value));
            EXPECT_EQ(ReadFileBytes(file), as_stored("; mine\r\n[LullCast]\r\nHANDLE=Zoë\r\n" +
                                                     fade_line + "[Other]\r\nx=1\r\n"));
        }
        EXPECT_TRUE(settings.WriteEntry("AUTOREASON", "\" out \""));
        EXPECT_EQ(LoadAwaySettings(file).auto_reason, " out ");
    }
}

// Runs only in the copy that the test below starts, beside its settings file.
TEST(SettingsBesideTheProgram, DISABLED_LoadsAndSavesAgain) {
    ProfileHandleStore store;
    store.SaveHandle(store.LoadHandle() + " seen");
}

TEST_F(SettingsFileTest, TheProgramFindsTheFileBesideItself) {
    ASSERT_TRUE(WriteFileBytes(file, Entry("bob")));
    EXPECT_EQ(RunThisProgram(L"--gtest_also_run_disabled_tests --gtest_brief=1 "
                             L"--gtest_filter=SettingsBesideTheProgram.DISABLED_LoadsAndSavesAgain",
                             folder.Path()),
              0);
    EXPECT_EQ(ReadFileBytes(file), Entry("bob seen"));
}

}  // namespace
}  // namespace lullcast::testing
