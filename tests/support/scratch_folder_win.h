#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lullcast::testing {

// A new, empty folder under the user's temp folder, whose name ends with
// `name_ending`; it goes, with everything in it, when the object goes.
class ScratchFolder {
  public:
    explicit ScratchFolder(std::wstring_view name_ending = {});
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The file's bytes, also while another process has it open for writing;
// nothing when it cannot be opened.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);
// Replaces the file's contents with `bytes`; says whether that worked.
bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);

// Runs this program again with `arguments`, from a copy of it in `folder` when
// one is given; its exit code, or -1 when it did not start or end within a minute.
[[nodiscard]] long RunThisProgram(std::wstring_view arguments,
                                  const std::filesystem::path& folder = {});

}  // namespace lullcast::testing
