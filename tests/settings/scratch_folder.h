#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lullcast {

// A new, empty folder under the user's temp folder, removed with everything
// in it when the object goes.
class ScratchFolder {
  public:
    // `name_ending` ends the folder's name, e.g. to give it letters that the
    // ANSI code page cannot hold.
    explicit ScratchFolder(std::wstring_view name_ending = {});
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ScratchFolder(ScratchFolder&&) = delete;
    ScratchFolder& operator=(ScratchFolder&&) = delete;
    ~ScratchFolder();

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The file's bytes, or "(no file)" when it cannot be opened.
[[nodiscard]] std::string ReadFileBytes(const std::filesystem::path& file);

void WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);

// The system's ANSI code page.
[[nodiscard]] unsigned AnsiCodePage();

// Copies this test program into `folder`, runs the copy with `arguments` and
// returns its exit code, or -1 when it could not be run or did not end within
// a minute.
[[nodiscard]] long RunCopyOfThisProgram(const std::filesystem::path& folder,
                                        std::wstring_view arguments);

}  // namespace lullcast
