#pragma once
// The client routines: they drive the client only through its windows, found
// afresh on every call (no handle outlives a call).
#include "system/ansi.h"
#include <windows.h>
#include <string>

namespace AolKit {

// The first document window of the client that has, among its direct
// children, a "RICHCNTL", an "_AOL_Listbox", an "_AOL_Icon" and an
// "_AOL_Static"; null when there is none.
HWND FindChatRoom();

// A window's caption; "" for null, a gone window or no caption.
std::wstring GetCaption(HWND window);

// Types one line into the chat room's input box and sends it (WM_SETTEXT,
// then WM_CHAR 13, both sent). Without a room nothing is sent anywhere.
void ChatSend(const std::wstring& line);

// Clicks the first "_AOL_Icon" of the first top-level "_AOL_Modal" window.
void DismissModal();

// Enters a keyword in the client's toolbar keyword box (text, space, Enter).
void Keyword(const std::wstring& keyword);

// Sends an instant message through the client's "Send Instant Message"
// window. Both waits dispatch the program's events and are bounded. True
// only when the client took the message: its box came (and was answered) or
// the IM window closed; false when the window never became ready or the
// client gave no sign within the second wait.
bool InstantMessage(const std::wstring& screenName, const std::wstring& text);

// The signed-on screen name, from the Welcome window's caption; "" without one.
std::wstring UserScreenName();

} // namespace AolKit
