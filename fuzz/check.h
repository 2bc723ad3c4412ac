#pragma once

#include <cstdio>
#include <cstdlib>

namespace lullcast::fuzz {

// A property that does not hold: said, then a crash, so that libFuzzer keeps
// the input that broke it.
inline void Check(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace lullcast::fuzz
