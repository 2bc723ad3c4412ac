// GetTickCount64 for the statically linked runtime, so that the program still
// loads on Windows XP.
//
// The -posix flavour of mingw-w64 links winpthreads into every C++ program
// (libstdc++ takes its locks, once-flags and static-initialisation guards from
// it), and winpthreads calls kernel32's GetTickCount64 through the import slot
// __imp__GetTickCount64@0. That function came with Vista; an import of it
// makes XP's loader refuse the program before it runs. Defining the slot here,
// in an object that the program links directly, satisfies winpthreads'
// reference before the linker reaches kernel32's import library, so the import
// never enters the program. The slot points to a function that calls the
// system's GetTickCount64 where it exists and otherwise counts milliseconds
// from the performance counter, which XP has and which never wraps.
//
// The other ways out cost more: the -win32 flavour has no std::mutex, which
// the test programs need from the same compiler, and building the program's
// own code a second time with another runtime would test one build and ship
// another. The import check of the package catches any other newer import.
#include <windows.h>

#include "ui/win32_cast.h"

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

ULONGLONG MillisecondsOfThePerformanceCounter() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    if (QueryPerformanceFrequency(&frequency) == FALSE ||
        QueryPerformanceCounter(&counter) == FALSE || frequency.QuadPart <= 0) {
        return GetTickCount();
    }
    // Split before scaling so that the product cannot overflow.
    const auto per_second = static_cast<ULONGLONG>(frequency.QuadPart);
    const auto ticks = static_cast<ULONGLONG>(counter.QuadPart);
    return ticks / per_second * 1000 + ticks % per_second * 1000 / per_second;
}

ULONGLONG WINAPI TickCount64() {
    auto* const kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto system_function = kernel32 == nullptr ? nullptr
                                                     : lullcast::ProcedureOf<TickCount64Function>(
                                                           kernel32, "GetTickCount64");
    return system_function != nullptr ? system_function() : MillisecondsOfThePerformanceCounter();
}

}  // namespace

// The import slot by its linker name (i686: stdcall, no arguments). The
// pointer is constant, as an import table's is once loaded.
// NOLINTBEGIN(misc-misplaced-const)
extern "C" {
extern const TickCount64Function lullcast_tick_count64_slot __asm__("__imp__GetTickCount64@0");
const TickCount64Function lullcast_tick_count64_slot = &TickCount64;
}
// NOLINTEND(misc-misplaced-const)
