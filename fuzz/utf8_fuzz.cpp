// Any bytes: the length of the sequence at each position is what the plain
// decoder reads there.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "check.h"
#include "fade/utf8.h"
#include "plain_utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        lullcast::fuzz::Check(
            lullcast::Utf8SequenceLength(text, pos) == lullcast::plain::DecodeAt(text, pos).length,
            "the sequence's length is the plain decoder's");
    }
    return 0;
}
