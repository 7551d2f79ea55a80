#pragma once
// Waiting while the program's events go on being handled.

namespace AolKit {
// Waits until the clock reaches the start (rounded to the nearest whole
// second) plus seconds, dispatching pending events meanwhile; never longer
// than seconds and one more, should the clock be set back meanwhile.
void Pause(int seconds);
} // namespace AolKit

// Dispatches every pending message of this thread (timers, clicks, menu
// commands, painting), dialog keys (Tab) included. A WM_QUIT stops it: it is
// put back, and the result is true. Waiting for input (WaitForInput, in
// engine/fallbacks.h) with a WM_QUIT queued returns at once, so a caller that
// loops must then stop waiting for it.
bool DispatchPending();
