#include "settings/profile_handle_store.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/scratch_folder.h"

namespace lullcast {
namespace {

constexpr std::string_view kNoFile = "(no file)";
constexpr unsigned kWesternCodePage = 1252;

// A settings file of its own in a fresh folder for every test.
class ProfileHandleStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()); }

    ScratchFolder folder;
    const std::filesystem::path settings_file = folder.Path() / "info.ini";
    ProfileHandleStore store{settings_file};
};

TEST_F(ProfileHandleStoreTest, FirstSaveIntoNoFileWritesTwoLines) {
    EXPECT_EQ(store.LoadHandle(), "");

    store.SaveHandle("newbie");

    EXPECT_EQ(FileBytesOrNoFile(settings_file), "[LullCast]\r\nHANDLE=newbie\r\n");
    EXPECT_EQ(store.LoadHandle(), "newbie");
}

TEST_F(ProfileHandleStoreTest, LoadsEmptyWithoutAnEntryOrItsValue) {
    const auto files = std::to_array<std::optional<std::string_view>>({
        std::nullopt,
        "",
        "[Other]\r\nHANDLE=bob\r\n",
        "[LullCast]\r\nName=bob\r\n",
        "[LullCast]\r\nHANDLE=\r\n",
        "[LullCast]\r\nHANDLE=   \r\n",
    });
    for (const std::optional<std::string_view>& content : files) {
        std::filesystem::remove(settings_file);
        if (content) {
            WriteFileBytes(settings_file, *content);
        }
        EXPECT_EQ(store.LoadHandle(), "") << content.value_or(kNoFile);
    }
}

TEST_F(ProfileHandleStoreTest, ProfileFunctionsTrimBlanksAndQuotesAroundTheValue) {
    WriteFileBytes(settings_file, "[LullCast]\r\nHANDLE= \"big bob\"  \r\n");
    EXPECT_EQ(store.LoadHandle(), "big bob");
}

TEST_F(ProfileHandleStoreTest, FindsOtherSpellingsAndReplacesTheirValueInPlace) {
    struct Case {
        std::string_view before;
        std::string_view after_saving_alice;
    };
    const auto cases = std::to_array<Case>({
        {"[lullcast]\r\nhandle=bob\r\n", "[lullcast]\r\nhandle=alice\r\n"},
        {"[LULLCAST]\r\nHandle=bob\r\n", "[LULLCAST]\r\nHandle=alice\r\n"},
        {"[Other]\r\nHANDLE=eve\r\n[lullcast]\r\nHandle=bob\r\nColour=red\r\n",
         "[Other]\r\nHANDLE=eve\r\n[lullcast]\r\nHandle=alice\r\nColour=red\r\n"},
    });
    for (const Case& c : cases) {
        WriteFileBytes(settings_file, c.before);
        EXPECT_EQ(store.LoadHandle(), "bob") << c.before;
        store.SaveHandle("alice");
        EXPECT_EQ(FileBytesOrNoFile(settings_file), c.after_saving_alice);
    }
}

TEST_F(ProfileHandleStoreTest, LoadsTheFirst749CharactersOfALongerValue) {
    std::string digits;
    for (int i = 0; i < 80; ++i) {
        digits += "0123456789";
    }
    WriteFileBytes(settings_file, "[LullCast]\r\nHANDLE=" + digits + "\r\n");

    const std::string loaded = store.LoadHandle();
    EXPECT_EQ(loaded, digits.substr(0, 749));

    store.SaveHandle(loaded);
    EXPECT_EQ(FileBytesOrNoFile(settings_file), "[LullCast]\r\nHANDLE=" + loaded + "\r\n");
}

struct SavedValue {
    std::string_view handle;
    std::string_view stored;  // the value as the file holds it
    std::string_view loaded;
};

void ExpectSavedAsStoredAndLoaded(ProfileHandleStore& store, const std::filesystem::path& file,
                                  const SavedValue& value) {
    std::filesystem::remove(file);
    store.SaveHandle(value.handle);
    EXPECT_EQ(FileBytesOrNoFile(file), "[LullCast]\r\nHANDLE=" + std::string(value.stored) + "\r\n")
        << value.handle;
    EXPECT_EQ(store.LoadHandle(), value.loaded) << value.handle;
}

TEST_F(ProfileHandleStoreTest, SavesEveryHandleOnOneLine) {
    const auto values = std::to_array<SavedValue>({
        {"big bob", "big bob", "big bob"},
        {"", "", ""},
        {"big\r\nbob", "big  bob", "big  bob"},
        {"a\rb\nc", "a b c", "a b c"},
        {"bob\r\nHANDLE=mallory", "bob  HANDLE=mallory", "bob  HANDLE=mallory"},
        {"bob\n[Other]\nkey=1", "bob [Other] key=1", "bob [Other] key=1"},
    });
    for (const SavedValue& value : values) {
        ExpectSavedAsStoredAndLoaded(store, settings_file, value);
    }
}

TEST_F(ProfileHandleStoreTest, KeepsTheFileInTheAnsiCodePage) {
    if (AnsiCodePage() != kWesternCodePage) {
        GTEST_SKIP() << "expects code page 1252, not " << AnsiCodePage();
    }
    const auto values = std::to_array<SavedValue>({
        {"Zoë ¬", "Zo\xEB \xAC", "Zoë ¬"},
        // No look-alikes ("O" for "Ω", "a" for "ā"), and one mark per character.
        {"Ωmega ā 😀!", "?mega ? ?!", "?mega ? ?!"},
    });
    for (const SavedValue& value : values) {
        ExpectSavedAsStoredAndLoaded(store, settings_file, value);
    }

    WriteFileBytes(settings_file, "[LullCast]\r\nHANDLE=Ren\xE9\r\n");
    EXPECT_EQ(store.LoadHandle(), "René");
}

TEST(ProfileHandleStoreFolderTest, WorksInAFolderTheCodePageCannotName) {
    const ScratchFolder folder(L" Ωμέγα 漢字");
    const std::filesystem::path settings_file = folder.Path() / "info.ini";
    ProfileHandleStore store(settings_file);

    store.SaveHandle("big bob");

    EXPECT_EQ(FileBytesOrNoFile(settings_file), "[LullCast]\r\nHANDLE=big bob\r\n");
    EXPECT_EQ(store.LoadHandle(), "big bob");
}

// Runs only in the copy that the test below starts: loads the handle from the
// settings file beside the program and saves it back with a mark.
TEST(ProfileHandleStoreBesideProgram, DISABLED_LoadsAndSavesAgain) {
    ProfileHandleStore store;
    store.SaveHandle(store.LoadHandle() + " seen");
}

TEST(ProfileHandleStoreFolderTest, FindsTheFileBesideAProgramInSuchAFolder) {
    const ScratchFolder folder(L" Ωμέγα 漢字");
    const std::filesystem::path settings_file = folder.Path() / "info.ini";
    WriteFileBytes(settings_file, "[LullCast]\r\nHANDLE=bob\r\n");

    const long exit_code = RunCopyOfThisProgram(
        folder.Path(),
        L"--gtest_also_run_disabled_tests --gtest_brief=1 "
        L"--gtest_filter=ProfileHandleStoreBesideProgram.DISABLED_LoadsAndSavesAgain");

    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(FileBytesOrNoFile(settings_file), "[LullCast]\r\nHANDLE=bob seen\r\n");
}

}  // namespace
}  // namespace lullcast
