#pragma once

#include <cstdint>

namespace lullcast {

// While one lives, every +, -, * and / of doubles rounds its exact result to
// binary64 once, as SSE2 does, so that a computation gives the same bits on
// every build. Declare one before such a computation and pass the
// computation's inputs through Pass(), and its results too unless they go to
// memory that the caller sees.
//
// On x86-64, and wherever doubles are done with SSE2, that is how they round
// anyway, and this does nothing. The i686 builds (a Pentium II or an Athlon
// XP has no SSE2) do doubles on the x87 unit, which by default rounds each
// result to a 64-bit mantissa (mingw's start-up code asks for that too): an
// intermediate kept in a register is not a binary64 value, and one rounded
// again when stored can end a unit away from the binary64 result. Either way
// a fade colour can change, and 0.3 s becomes 299,999,999 ns instead of
// 300,000,000. With the unit's precision control at 53 bits every result is
// rounded to binary64's mantissa directly. The exponent keeps the x87 range,
// which differs from binary64 only for results beyond binary64's range or
// below its smallest normal number (about 2.2e-308); callers keep far from
// both.
//
// The caller's control word comes back at the end, also on an exception.
class Binary64Rounding {
  public:
#if defined(__i386__) && !defined(__SSE2_MATH__)
    Binary64Rounding() {
        __asm__ __volatile__("fnstcw %0" : "=m"(saved_control_word_) : : "memory");
        const auto control_word = static_cast<std::uint16_t>(
            (saved_control_word_ & ~kPrecisionControl) | kDoublePrecision);
        __asm__ __volatile__("fldcw %0" : : "m"(control_word) : "memory");
    }
    ~Binary64Rounding() {
        __asm__ __volatile__("fldcw %0" : : "m"(saved_control_word_) : "memory");
    }

    Binary64Rounding(const Binary64Rounding&) = delete;
    Binary64Rounding& operator=(const Binary64Rounding&) = delete;
    Binary64Rounding(Binary64Rounding&&) = delete;
    Binary64Rounding& operator=(Binary64Rounding&&) = delete;

    // `value` unchanged, but the compiler can no longer see where it came
    // from: arithmetic that uses it cannot start before the precision is set,
    // arithmetic that gives it must end before this point. The compiler keeps
    // the order of __volatile__ statements that clobber memory, but moves
    // arithmetic on registers across them freely.
    template <typename T>
    [[nodiscard]] static T Pass(T value) {
        __asm__ __volatile__("" : "+m"(value) : : "memory");
        return value;
    }

  private:
    // Bits 8-9 of the control word: 00 single, 10 double, 11 extended.
    static constexpr unsigned kPrecisionControl = 0x300U;
    static constexpr unsigned kDoublePrecision = 0x200U;

    std::uint16_t saved_control_word_ = 0;
#else
    template <typename T>
    [[nodiscard]] static T Pass(T value) {
        return value;
    }
#endif
};

}  // namespace lullcast
