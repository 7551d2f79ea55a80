// The product is built without C++ exceptions: the exception runtime and the
// unwinder would more than double a program of this size. These replace the
// few library entry points that would throw, so none of that runtime is
// linked. Running out of memory ends the program with a box that says so.
#include <windows.h>
#include <cstdlib>
#include <new>

// Each message starts with the program's name; the stand-in links this too.
#ifndef IDLER_PROGRAM
#define IDLER_PROGRAM "idler"
#endif

namespace {

[[noreturn]] void Fail(const char* what) {
    FatalAppExitA(0, what);
    std::abort();
}

} // namespace

void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    Fail(IDLER_PROGRAM ": out of memory");
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace std {
[[noreturn]] void __throw_bad_alloc() {
    Fail(IDLER_PROGRAM ": out of memory");
}
[[noreturn]] void __throw_bad_array_new_length() {
    Fail(IDLER_PROGRAM ": out of memory");
}
[[noreturn]] void __throw_length_error(const char*) {
    Fail(IDLER_PROGRAM ": text too long");
}
[[noreturn]] void __throw_logic_error(const char*) {
    Fail(IDLER_PROGRAM ": internal error");
}
[[noreturn]] void __throw_out_of_range(const char*) {
    Fail(IDLER_PROGRAM ": internal error");
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    Fail(IDLER_PROGRAM ": internal error");
}
[[noreturn]] void __throw_invalid_argument(const char*) {
    Fail(IDLER_PROGRAM ": internal error");
}
[[noreturn]] void __throw_bad_function_call() {
    Fail(IDLER_PROGRAM ": internal error");
}
} // namespace std

namespace __gnu_cxx {
// The default handler pulls in the symbol demangler for its message.
void __verbose_terminate_handler() {
    Fail(IDLER_PROGRAM ": internal error");
}
} // namespace __gnu_cxx
