#pragma once
// The messages idler sends and posts to the client's windows: the only way it
// acts on the client. Every send is bounded, and a refusal by the system is
// told to the user once a run.
#include <windows.h>
#include <string>

namespace client_windows {

// Sends a message and tells whether it reached the window's procedure: the
// send's own answer, which a handler of this program run during the send
// cannot change (as it can change GetLastError). A client that is hung, or
// that does not answer within 5.5 s, is given up on: the message is dropped
// and false returned, so idler never freezes with the client. A refusal by
// the system is told to the user (see TellIfRefused).
bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Posts a message; a refusal by the system is told as for Deliver.
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Replaces a text box's content with text (WM_SETTEXT), then types keys into
// it one character at a time (WM_CHAR), all sent, in order: the client acts
// on the box's content when the carriage return comes. Stops at the first
// message that did not arrive, so a hung client gets no half line. Nothing
// for null.
void TypeInto(HWND box, const std::wstring& text, const char* keys);

// A click on a client icon: button down, then up, both sent; no release
// without its press. True when the press reached the icon: a client may act
// on the press and close the icon's window before the release comes.
bool Click(HWND icon);

} // namespace client_windows
