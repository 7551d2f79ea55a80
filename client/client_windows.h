#pragma once
// The paths into the client's window tree, and the messages sent along them,
// that several routines share. Each step returns null when the step before
// found nothing, instead of searching the top-level windows with a null parent.
#include <windows.h>
#include <string>

namespace client_windows {

inline constexpr const char* kFrame = "AOL Frame25";
inline constexpr const char* kMdiArea = "MDIClient";
inline constexpr const char* kDocument = "AOL Child";
inline constexpr const char* kRichText = "RICHCNTL";
inline constexpr const char* kIcon = "_AOL_Icon";

// The first direct child of parent of class cls; null for a null parent.
HWND FirstChild(HWND parent, const char* cls);
// The next direct child of parent of class cls after after; null for a null
// parent or a null after.
HWND NextChild(HWND parent, HWND after, const char* cls);
// The n-th (1 = first) direct child of parent of class cls, or null.
HWND NthChild(HWND parent, const char* cls, int n);

HWND ClientFrame();
HWND MdiArea(HWND frame);

// The first of the client's document windows, in the window manager's order,
// for which match(window) holds; null when none does or there is no client.
template <class Match> HWND FindDocument(Match&& match) {
    HWND mdi = MdiArea(ClientFrame());
    for (HWND document = FirstChild(mdi, kDocument); document;
         document = NextChild(mdi, document, kDocument)) {
        if (match(document)) return document;
    }
    return nullptr;
}

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
