#include "engine/pause.h"
#include "engine/pause_clock.h"
#include <cmath>

namespace {

// The time of day in seconds since midnight, to the millisecond.
double ClockNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

} // namespace

void DispatchPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // Tab between the window's fields works during a wait as well.
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void WaitForEvents(DWORD timeoutMs) {
    // MWMO_INPUTAVAILABLE: also wake for messages that are queued already.
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

namespace AolKit {

void Pause(int seconds) {
    const double start = pause_clock::Start(ClockNow());
    for (;;) {
        const double now = ClockNow();
        if (pause_clock::Over(start, now, seconds)) return;
        DispatchPending();
        // Sleep until the next event or the deadline instead of polling the clock.
        const double left = seconds - pause_clock::Elapsed(start, ClockNow());
        if (left > 0) WaitForEvents(static_cast<DWORD>(std::ceil(left * 1000.0)));
    }
}

} // namespace AolKit
