#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lullcast::testing {

// A new, empty folder under the user's temp folder; it goes, with everything
// in it, when the object goes.
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

// The file's bytes; nothing when it cannot be opened. The file may be open
// for writing in another process.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);
// Replaces the file's contents with `bytes`; says whether that worked.
bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);

}  // namespace lullcast::testing
