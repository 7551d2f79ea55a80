// The programs' entry point, in place of the MinGW-w64 runtime's start-up
// code: that comes prebuilt for the Pentium Pro (it holds CMOV), and does much
// these programs never use (argv, TLS callbacks, pseudo-relocations, signal
// handlers). msvcrt.dll sets itself up when it loads; what is left is the x87
// state, the static constructors, and exit(). WinMain gets the instance
// alone: neither program reads the command tail or the show state (idler
// shows its window its own way; the stand-in reads GetCommandLineA itself).
#include <windows.h>
#include <cstdlib>

// The linker's list of the static constructors: -1, the constructors, 0.
extern "C" void (*__CTOR_LIST__[])();
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// Last to first, as GCC's own start-up calls them.
void RunConstructors() {
    int count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    for (; count > 0; --count) __CTOR_LIST__[count]();
}

} // namespace

// Static destructors register here (GCC on MinGW calls atexit, not
// __cxa_atexit); exit() runs them.
extern "C" int atexit(void (*function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

extern "C" [[noreturn]] void WinMainCRTStartup() {
    // The x87 unit as the runtime left it: 64-bit precision, exceptions masked.
    asm volatile("fninit");
    RunConstructors();
    std::exit(WinMain(reinterpret_cast<HINSTANCE>(&__ImageBase), nullptr, nullptr, SW_SHOWDEFAULT));
}
