#pragma once
// Win32 hands pointers, handles and functions through integer-sized slots:
// WPARAM, LPARAM, LRESULT, a window's LONG_PTR data, the HMENU argument that
// holds a child's control ID, and GetProcAddress's FARPROC. Converting them
// is the API's own contract, not a choice of the code; it happens here, each
// kind under its name, so that no other code needs a cast.
#include <windows.h>

#include <type_traits>

namespace lullcast {

// The pointer or handle that an integer slot carries.
template <typename Pointer, typename Integer>
[[nodiscard]] Pointer PointerFrom(Integer slot) {
    static_assert(std::is_pointer_v<Pointer> && std::is_integral_v<Integer>);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast,performance-no-int-to-ptr)
    return reinterpret_cast<Pointer>(slot);
}

// A pointer or handle put into an integer slot.
template <typename Integer, typename Pointer>
[[nodiscard]] Integer SlotFrom(Pointer pointer) {
    static_assert(std::is_pointer_v<Pointer> && std::is_integral_v<Integer>);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return reinterpret_cast<Integer>(pointer);
}

// A child window's control ID, in the slot where a top-level window has its menu.
[[nodiscard]] inline HMENU ControlIdSlot(int control_id) {
    return PointerFrom<HMENU>(static_cast<INT_PTR>(control_id));
}

// A function of a system DLL by name, as its own type; null where the system
// lacks it. Through void (*)(): FARPROC converts to no other function type
// without a warning.
template <typename Function>
[[nodiscard]] Function ProcedureOf(HMODULE module, const char* name) {
    static_assert(std::is_pointer_v<Function> &&
                  std::is_function_v<std::remove_pointer_t<Function>>);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace lullcast
