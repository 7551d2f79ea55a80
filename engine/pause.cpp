#include "engine/pause.h"
#include "engine/pause_clock.h"
#include "system/fallbacks.h"
#include "system/message_pump.h"
#include <cmath>

namespace {

// The time of day in seconds since midnight, to the millisecond.
double ClockNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

// Seconds since an earlier GetTickCount reading; the unsigned difference
// stays right when the count wraps after 49 days.
double SecondsSince(DWORD ticks) {
    return (GetTickCount() - ticks) / 1000.0;
}

} // namespace

namespace AolKit {

void Pause(int seconds) {
    const DWORD called = GetTickCount();
    const double start = pause_clock::Start(ClockNow());
    bool quitting = false;
    for (;;) {
        double left = pause_clock::Left(start, ClockNow(), seconds, SecondsSince(called));
        if (left <= 0) return;
        if (!quitting) quitting = DispatchPending();
        left = pause_clock::Left(start, ClockNow(), seconds, SecondsSince(called));
        if (left <= 0) return;
        // Sleep until the next event or the deadline instead of polling the
        // clock. A pending WM_QUIT would wake every wait at once, so once one
        // is seen (and put back for the loop it belongs to) only time counts.
        const auto ms = static_cast<DWORD>(std::ceil(left * 1000.0));
        if (quitting)
            Sleep(ms);
        else
            WaitForInput(ms);
    }
}

} // namespace AolKit
