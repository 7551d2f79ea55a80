#include "system/fallbacks.h"

namespace {

using GetAncestorFn = HWND(WINAPI*)(HWND, UINT);
using MsgWaitExFn = DWORD(WINAPI*)(DWORD, const HANDLE*, DWORD, DWORD, DWORD);
using SetExecutionStateFn = EXECUTION_STATE(WINAPI*)(EXECUTION_STATE);

// A system DLL's function of that name, or null where this system has none.
// (Through void*: FARPROC's own type matches no real function's.)
template <class Fn> Fn SystemFunction(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}
template <class Fn> Fn User32Function(const char* name) {
    return SystemFunction<Fn>("user32.dll", name);
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

void KeepSystemAwake(bool on) {
    static const auto set =
        SystemFunction<SetExecutionStateFn>("kernel32.dll", "SetThreadExecutionState");
    if (set) set(on ? ES_SYSTEM_REQUIRED | ES_CONTINUOUS : ES_CONTINUOUS);
}
