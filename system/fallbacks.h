#pragma once
// Calls that the oldest systems the program runs on lack, looked up when first
// needed; where a system has no such call, a fallback that behaves the same.
// Windows 95 has neither GetAncestor nor MsgWaitForMultipleObjectsEx; NT 4.0
// has no GetAncestor; neither has SetThreadExecutionState.
#include <windows.h>

// The top-level window that window belongs to (GetAncestor's GA_ROOT).
HWND RootWindow(HWND window);
// The same by walking the parents: a child's parent, until a window that is
// not a child (GetParent would give a top-level window's owner instead).
HWND RootWindowByParents(HWND window);

// Blocks until a message arrives for this thread or timeoutMs passes.
void WaitForInput(DWORD timeoutMs);
// The same without MWMO_INPUTAVAILABLE: it wakes only for messages that came
// after the queue was last looked at, which is all of them for a caller that
// has just emptied the queue, as every caller here has.
void WaitForNewInput(DWORD timeoutMs);

// While on, the system counts as in use and does not go to standby, which
// would drop the connection and sign the user off; the screen may still go
// dark. The request ends with the program. Nothing where the system lacks it.
void KeepSystemAwake(bool on);
