// The code-page helpers call Windows, which libFuzzer cannot run: the UTF-8
// target's kept corpus, copied beside this program, goes through them under
// Wine with the properties the plain decoder gives.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/text_win.h"
#include "plain_utf8.h"

namespace lullcast {
namespace {

std::vector<std::string> Corpus() {
    std::array<wchar_t, MAX_PATH> path{};
    GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    std::vector<std::string> inputs;
    const auto folder = std::filesystem::path(path.data()).parent_path() / "corpus-utf8";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return inputs;
}

std::wstring Utf16(const std::u32string& points) {
    std::wstring units;
    for (const char32_t point : points) {
        if (point < 0x10000) {
            units += static_cast<wchar_t>(point);
        } else {
            units += static_cast<wchar_t>(0xD800 + ((point - 0x10000) >> 10U));
            units += static_cast<wchar_t>(0xDC00 + ((point - 0x10000) & 0x3FFU));
        }
    }
    return units;
}

TEST(TextCorpusTest, UnicodeConversionsKeepWellFormedTextAndMendTheRest) {
    const std::vector<std::string> corpus = Corpus();
    ASSERT_GE(corpus.size(), 10U);
    for (const std::string& text : corpus) {
        const std::wstring wide = WidenUtf8(text);
        const std::string back = NarrowToUtf8(wide);
        EXPECT_TRUE(plain::IsWellFormed(back)) << plain::Encoded(plain::CodePoints(text));
        if (plain::IsWellFormed(text)) {
            EXPECT_EQ(wide, Utf16(plain::CodePoints(text))) << text;
            EXPECT_EQ(back, text);
        }
    }
}

// In a code page of one byte per character: one byte for each character,
// itself or "?", and the code page's bytes go to UTF-16 and back unchanged.
TEST(TextCorpusTest, TheAnsiCodePageGetsOneByteACharacterAndGivesItsBytesBack) {
    CPINFO info{};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1) << GetACP();
    for (const std::string& text : Corpus()) {
        EXPECT_EQ(NarrowToAnsi(WidenAnsi(text)), text);
        if (!plain::IsWellFormed(text)) continue;
        const std::u32string points = plain::CodePoints(text);
        const std::wstring shown = WidenAnsi(ToAnsiCodePage(text));
        ASSERT_EQ(shown.size(), points.size()) << text;
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_TRUE(shown[i] == points[i] || (shown[i] == L'?' && points[i] >= 0x80))
                << text << " at " << i;
        }
    }
}

}  // namespace
}  // namespace lullcast
