// Runs a fuzz target over the inputs it was given (files, or folders of
// them) without libFuzzer, so that an ordinary build replays each kept corpus
// in its test suite: a broken property aborts, which fails the test.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Replay(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(stream), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path input(argv[i]);
        if (!std::filesystem::is_directory(input)) {
            Replay(input);
            ++replayed;
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(input)) {
            Replay(entry.path());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    // No input at all is a corpus that went missing, not a pass.
    return replayed > 0 ? 0 : 1;
}
