// The runtime's default handler for an exception that nobody catches, without
// its demangler.
//
// libstdc++'s handler writes the demangled type of the exception and its
// what() to stderr, then aborts. The demangler, and the printf machinery of
// mingw-w64 that it brings along, make up about a quarter of the program,
// which shows the message nowhere: a Windows program has no stderr unless
// whoever starts it gives it one. This handler writes the same lines, with
// the type's mangled name ("St12length_error" for std::length_error), and
// aborts just the same. It must be an object of the program itself, so that
// the linker finds it before the runtime's own.
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    static bool terminating = false;
    if (terminating) {
        std::fputs("terminate called recursively\n", stderr);
        std::abort();
    }
    terminating = true;

    // Terminate is also called for a rethrow without a current exception.
    const std::type_info* const type = abi::__cxa_current_exception_type();
    if (type == nullptr) {
        std::fputs("terminate called without an active exception\n", stderr);
        std::abort();
    }
    std::fputs("terminate called after throwing an instance of '", stderr);
    std::fputs(type->name(), stderr);
    std::fputs("'\n", stderr);
    try {
        throw;
    } catch (const std::exception& exception) {
        std::fputs("  what():  ", stderr);
        std::fputs(exception.what(), stderr);
        std::fputs("\n", stderr);
    } catch (...) {
        // Only a std::exception says more.
    }
    std::abort();
}

}  // namespace __gnu_cxx
