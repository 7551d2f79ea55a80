#pragma once
// Waiting while the program's events go on being handled.
#include <windows.h>

namespace AolKit {
// Waits until the clock reaches the start (rounded to the nearest whole
// second) plus seconds, dispatching pending events meanwhile.
void Pause(int seconds);
} // namespace AolKit

// Dispatches every pending message of this thread (timers, clicks, menu
// commands, painting), dialog keys (Tab) included. A WM_QUIT is put back.
void DispatchPending();

// Blocks until a message arrives for this thread or timeoutMs passes; no CPU
// is used while nothing happens.
void WaitForEvents(DWORD timeoutMs);
