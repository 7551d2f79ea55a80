// Loaded into idler's process by a message hook that a test sets on idler's
// thread. A timer belongs to the thread that set it and no other process can
// ask about it, so the question is answered from inside: the probe message
// (posted to the window, timer id in wParam, the asking thread in lParam)
// kills that timer there and replies whether it was running.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK
    StopTimerHook(int code, WPARAM removed, LPARAM lp) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    const UINT probe = RegisterWindowMessageW(L"idler-e2e-stop-timer");
    if (code == HC_ACTION && removed == PM_REMOVE && msg->message == probe) {
        const BOOL wasRunning = KillTimer(msg->hwnd, msg->wParam);
        PostThreadMessageW(static_cast<DWORD>(msg->lParam), probe, wasRunning, 0);
        msg->message = WM_NULL; // the program never sees the probe
    }
    return CallNextHookEx(nullptr, code, removed, lp);
}
