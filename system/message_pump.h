#pragma once
// The message pump of the program's one thread, which its main loop, Pause
// and the waits of InstantMessage share: whatever waits goes on handling the
// window's events.

// Dispatches every pending message of this thread (timers, clicks, menu
// commands, painting), dialog keys (Tab) included. A WM_QUIT stops it: it is
// put back, and the result is true. Waiting for input (WaitForInput, in
// system/fallbacks.h) with a WM_QUIT queued returns at once, so a caller that
// loops must then stop waiting for it.
bool DispatchPending();
