// What reaches the client's 8-bit controls: the system's ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include "client/quill_aol8/user32_window_functions.h"
#include "client_fixture.h"
#include "core/text_win.h"

namespace lullcast::quill_aol8 {
namespace {

constexpr UINT kWesternEuropean = 1252;

TEST(CodePageTest, TextIsCarriedInCodePage1252WithOneMarkPerMissingCharacter) {
    if (GetACP() != kWesternEuropean) {
        GTEST_SKIP() << "ANSI code page is " << GetACP();
    }
    struct Case {
        std::string_view utf8;
        std::string_view ansi;
    };
    for (const Case& c :
         {Case{"", ""}, Case{"¬ activated ¬", "\xAC activated \xAC"},
          Case{"a€b",
               "a\x80"
               "b"},
          Case{"ā", "?"}, Case{"中文", "??"}, Case{"x😀y", "x?y"}, Case{"e\xCC\x81", "e?"}}) {
        EXPECT_EQ(ToAnsiCodePage(c.utf8), c.ansi) << c.utf8;
    }
}

}  // namespace
}  // namespace lullcast::quill_aol8
