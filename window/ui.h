#pragma once
// Text to and from windows, any program's: a window's text, and the
// program's message boxes. Both go through the ANSI calls, as every text of
// the program does (system/ansi.h converts).
#include <windows.h>
#include <string>

// A window's text as ANSI bytes; "" for null, a gone window or no text. The
// text may change between reading its length and its characters: only what
// was copied is kept, and when the copy filled the buffer the length is read
// again, a few times at most, in case it grew.
std::string WindowText(HWND window);

// A modal box (MB_OK, MB_YESNO...) owned by owner; the button pressed.
int ShowMessageBox(HWND owner, const std::wstring& prompt, const std::wstring& title, UINT style);
