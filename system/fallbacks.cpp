#include "system/fallbacks.h"

namespace {

using GetAncestorFn = HWND(WINAPI*)(HWND, UINT);
using MsgWaitExFn = DWORD(WINAPI*)(DWORD, const HANDLE*, DWORD, DWORD, DWORD);

// user32's function of that name, or null where this system has none. (Through
// void*: FARPROC's own type matches no real function's.)
template <class Fn> Fn User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}

} // namespace

HWND RootWindowByParents(HWND window) {
    while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        HWND parent = GetParent(window);
        if (!parent) break;
        window = parent;
    }
    return window;
}

HWND RootWindow(HWND window) {
    // Looked up once; the program has one thread, so the static needs no guard.
    static const auto getAncestor = User32Function<GetAncestorFn>("GetAncestor");
    return getAncestor ? getAncestor(window, GA_ROOT) : RootWindowByParents(window);
}

void WaitForNewInput(DWORD timeoutMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
}

void WaitForInput(DWORD timeoutMs) {
    static const auto msgWaitEx = User32Function<MsgWaitExFn>("MsgWaitForMultipleObjectsEx");
    // MWMO_INPUTAVAILABLE: also wake for messages that are queued already.
    if (msgWaitEx)
        msgWaitEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    else
        WaitForNewInput(timeoutMs);
}
