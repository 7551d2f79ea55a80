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

} // namespace client_windows
