#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/scratch_folder_win.h"

namespace lullcast {

using testing::ScratchFolder;
using testing::WriteFileBytes;

// The file's bytes, or "(no file)" when it cannot be opened.
[[nodiscard]] inline std::string FileBytesOrNoFile(const std::filesystem::path& file) {
    return testing::ReadFileBytes(file).value_or("(no file)");
}

// The system's ANSI code page.
[[nodiscard]] unsigned AnsiCodePage();

// Copies this test program into `folder`, runs the copy with `arguments` and
// returns its exit code, or -1 when it could not be run or did not end within
// a minute.
[[nodiscard]] long RunCopyOfThisProgram(const std::filesystem::path& folder,
                                        std::wstring_view arguments);

}  // namespace lullcast
