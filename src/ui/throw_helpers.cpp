// The runtime's helpers that throw the standard library's exceptions, for the
// program alone: an error of the std::logic_error or std::runtime_error family
// ends the program where it would be thrown.
//
// libstdc++'s strings and containers report a misuse (a string longer than
// max_size(), substr past the end) through these helpers, std::__throw_*,
// which throw std::length_error, std::out_of_range and their kin. Those
// exceptions keep their message in the runtime's copy-on-write string, and
// linking their constructors brings in that string's whole implementation
// and, through it, every basic_string function that the runtime instantiates:
// about 85 KB, more than a third of the program. Nothing in the program
// catches an exception (terminate_handler.cpp's catch only reads the one that
// is ending it), so such a throw has always ended in std::terminate, which
// writes the exception's type and what() to stderr and aborts. These helpers
// write the same lines and abort at once. The cheap exceptions, std::bad_alloc
// and the other bad_*, are thrown as the runtime throws them.
//
// The tests link the runtime's own helpers and see the exceptions; a catch of
// one of these errors in the program would work in the tests and never in
// lullcast.exe. Like terminate_handler.cpp this must be an object of the
// program itself, so that the linker finds it before the runtime's member
// that defines the same helpers; should the runtime ever add a helper that
// the program uses and this file lacks, the link fails with both definitions.
#include <array>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <typeinfo>

namespace {

void Write(const char* text) { std::fputs(text, stderr); }

// What std::terminate writes for an exception of the type whose mangled name
// is `type` (see terminate_handler.cpp), up to its what().
void WriteUncaughtType(const char* type) {
    Write("terminate called after throwing an instance of '");
    Write(type);
    Write("'\n  what():  ");
}

[[noreturn]] void EndWithUncaught(const char* type, const char* what) {
    WriteUncaughtType(type);
    Write(what);
    Write("\n");
    std::abort();
}

// A number in decimal, without printf, whose implementation (about 28 KB)
// would come along.
void WriteDecimal(std::size_t number) {
    std::array<char, 24> digits{};
    std::size_t first = digits.size() - 1;  // The last stays the terminating NUL.
    do {
        digits.at(--first) = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    Write(&digits.at(first));
}

}  // namespace

// The runtime declares these in namespace std; they replace its definitions.
namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_typeid() { throw bad_typeid(); }

void __throw_logic_error(const char* what) { EndWithUncaught("St11logic_error", what); }
void __throw_domain_error(const char* what) { EndWithUncaught("St12domain_error", what); }
void __throw_invalid_argument(const char* what) { EndWithUncaught("St16invalid_argument", what); }
void __throw_length_error(const char* what) { EndWithUncaught("St12length_error", what); }
void __throw_out_of_range(const char* what) { EndWithUncaught("St12out_of_range", what); }

// The runtime's formats hold only %s, %zu and %%, and its message fills them
// in as printf would. The helper takes its values as printf does; va_arg is
// the only way to read them.
// NOLINTBEGIN(cppcoreguidelines-pro-type-vararg,cppcoreguidelines-init-variables)
void __throw_out_of_range_fmt(const char* format, ...) {
    WriteUncaughtType("St12out_of_range");
    std::va_list arguments;
    va_start(arguments, format);
    const std::string_view text = format;
    std::size_t at = 0;
    while (at < text.size()) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (text[at] == '%' && next == 's') {
            Write(va_arg(arguments, const char*));
            at += 2;
        } else if (text[at] == '%' && next == 'z' && at + 2 < text.size() && text[at + 2] == 'u') {
            WriteDecimal(va_arg(arguments, std::size_t));
            at += 3;
        } else {
            std::fputc(text[at], stderr);
            at += text[at] == '%' && next == '%' ? 2U : 1U;
        }
    }
    va_end(arguments);
    Write("\n");
    std::abort();
}
// NOLINTEND(cppcoreguidelines-pro-type-vararg,cppcoreguidelines-init-variables)

void __throw_runtime_error(const char* what) { EndWithUncaught("St13runtime_error", what); }
void __throw_range_error(const char* what) { EndWithUncaught("St11range_error", what); }
void __throw_overflow_error(const char* what) { EndWithUncaught("St14overflow_error", what); }
void __throw_underflow_error(const char* what) { EndWithUncaught("St15underflow_error", what); }

}  // namespace std
