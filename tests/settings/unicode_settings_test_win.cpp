// A settings file saved as UTF-16 stays UTF-16 and keeps every character; the
// away settings are read through the same profile functions as the handle.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "core/text_win.h"
#include "settings/profile_away_settings.h"
#include "settings/profile_handle_store.h"
#include "settings/scratch_folder.h"

namespace lullcast {
namespace {

// The bytes of `text` as Windows' editor saves "Unicode": the byte-order
// mark FF FE, then UTF-16 little-endian.
std::string Utf16File(std::string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t unit : WidenUtf8(text)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()); }

    ScratchFolder folder;
    const std::filesystem::path settings_file = folder.Path() / "info.ini";
    ProfileHandleStore store{settings_file};
};

TEST_F(SettingsFileTest, AUtf16FileKeepsItsEncodingAndEveryCharacter) {
    const std::string before = "[LullCast]\r\nHANDLE=Ωmegaé\r\n";
    ASSERT_TRUE(WriteFileBytes(settings_file, Utf16File(before)));
    // A start with nothing changed loads the handle and saves it straight back.
    const std::string handle = store.LoadHandle();
    EXPECT_EQ(handle, "Ωmegaé");
    store.SaveHandle(handle);
    EXPECT_EQ(FileBytesOrNoFile(settings_file), Utf16File(before));

    store.SaveHandle("Zoë 😀\r\nHANDLE=eve");
    EXPECT_EQ(FileBytesOrNoFile(settings_file),
              Utf16File("[LullCast]\r\nHANDLE=Zoë 😀  HANDLE=eve\r\n"));
}

TEST_F(SettingsFileTest, AwaySettingsAreReadAndAnEmptyReasonIsNotAnAbsentOne) {
    ASSERT_TRUE(WriteFileBytes(settings_file,
                               "[LullCast]\r\nHANDLE=bob\r\nAUTOAWAY=10\r\nAUTOREASON=\r\n"
                               "REPORTMINUTES=15\r\n"));
    const AwaySettings read = LoadAwaySettings(settings_file);
    EXPECT_EQ(read.auto_away_minutes, 10);
    EXPECT_EQ(read.auto_reason, "");
    EXPECT_EQ(read.report_minutes, 15);

    ASSERT_TRUE(WriteFileBytes(settings_file, "[lullcast]\r\nautoaway=x\r\n"));
    const AwaySettings plain = LoadAwaySettings(settings_file);
    EXPECT_EQ(plain.auto_away_minutes, std::nullopt);
    EXPECT_EQ(plain.auto_reason, "auto-away");
    EXPECT_EQ(plain.report_minutes, 1);
    std::filesystem::remove(settings_file);
    EXPECT_EQ(LoadAwaySettings(settings_file).auto_reason, "auto-away");
    EXPECT_FALSE(std::filesystem::exists(settings_file));  // reading creates nothing
}

}  // namespace
}  // namespace lullcast
