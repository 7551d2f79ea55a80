// The product is built without C++ exceptions: the exception runtime and the
// unwinder would more than double a program of this size. These replace the
// few library entry points that would throw, so none of that runtime is
// linked. Running out of memory ends the program with a box that says so.
#include <windows.h>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void Fail(const char* what) {
    FatalAppExitA(0, what);
    std::abort();
}

} // namespace

void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    Fail("idler: out of memory");
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
    Fail("idler: out of memory");
}
[[noreturn]] void __throw_bad_array_new_length() {
    Fail("idler: out of memory");
}
[[noreturn]] void __throw_length_error(const char*) {
    Fail("idler: text too long");
}
[[noreturn]] void __throw_logic_error(const char*) {
    Fail("idler: internal error");
}
[[noreturn]] void __throw_out_of_range(const char*) {
    Fail("idler: internal error");
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    Fail("idler: internal error");
}
[[noreturn]] void __throw_invalid_argument(const char*) {
    Fail("idler: internal error");
}
[[noreturn]] void __throw_bad_function_call() {
    Fail("idler: internal error");
}
} // namespace std

namespace __gnu_cxx {
// The default handler pulls in the symbol demangler for its message.
void __verbose_terminate_handler() {
    Fail("idler: internal error");
}
} // namespace __gnu_cxx
