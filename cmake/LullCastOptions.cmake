# Compiler settings shared by every target of the project.
add_library(lullcast_options INTERFACE)
target_compile_options(lullcast_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion -Werror
  # The fade must give the same bits on every build: binary64 arithmetic,
  # no fused multiply-add.
  -ffp-contract=off)
target_include_directories(lullcast_options INTERFACE "${PROJECT_SOURCE_DIR}/src")

if(LULLCAST_SANITIZE)
  set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(lullcast_options INTERFACE ${sanitizers})
  target_link_options(lullcast_options INTERFACE ${sanitizers})
endif()

if(LULLCAST_SANITIZE OR LULLCAST_BUILD_FUZZERS)
  # The standard library checks each index too: a read one past the end of a
  # string_view stays inside the string's allocation, where the address
  # sanitizer cannot see it.
  target_compile_definitions(lullcast_options INTERFACE _GLIBCXX_ASSERTIONS)
endif()

if(LULLCAST_BUILD_FUZZERS)
  # Coverage for libFuzzer's guidance in every object; the fuzz targets link
  # the fuzzer itself.
  target_compile_options(lullcast_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

if(WIN32)
  # The oldest processors that run Windows XP: i686 without SSE or SSE2
  # (Pentium II, Athlon), so doubles on the x87 unit. The compiler's default
  # (pentiumpro) is the same; said here so that no flag from elsewhere raises
  # it. Arithmetic that must give the same bits as on x86-64 runs under
  # Binary64Rounding (src/core/binary64_rounding.h).
  target_compile_options(lullcast_options INTERFACE -march=i686 -mfpmath=387)
  # Small code, each function and datum in a section of its own so that the
  # program's link (--gc-sections) can drop what nothing uses. The tests are
  # built the same way, so they test the code that ships. -Os keeps the
  # arithmetic as -O2 has it: no fast-math, no contraction.
  target_compile_options(lullcast_options INTERFACE $<$<NOT:$<CONFIG:Debug>>:-Os>
                                                    -ffunction-sections -fdata-sections)
  target_compile_definitions(lullcast_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX
                                                        _WIN32_WINNT=0x0501 WINVER=0x0501)
  target_link_options(lullcast_options INTERFACE -static)
endif()
