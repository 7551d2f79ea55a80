#include "client/aolkit_client.h"
#include "client/client_windows.h"
#include "window/ui.h"

namespace client_windows {

HWND FirstChild(HWND parent, const char* cls) {
    return parent ? FindWindowExA(parent, nullptr, cls, nullptr) : nullptr;
}

HWND NextChild(HWND parent, HWND after, const char* cls) {
    return parent && after ? FindWindowExA(parent, after, cls, nullptr) : nullptr;
}

HWND NthChild(HWND parent, const char* cls, int n) {
    HWND child = n > 0 ? FirstChild(parent, cls) : nullptr;
    for (int i = 1; i < n && child; ++i) child = NextChild(parent, child, cls);
    return child;
}

HWND ClientFrame() {
    return FindWindowA(kFrame, nullptr);
}

HWND MdiArea(HWND frame) {
    return FirstChild(frame, kMdiArea);
}

} // namespace client_windows

namespace AolKit {

// A chat room has, among its direct children, one of each of these classes.
HWND FindChatRoom() {
    using namespace client_windows;
    return FindDocument([](HWND document) {
        for (const char* cls : {kRichText, "_AOL_Listbox", kIcon, "_AOL_Static"}) {
            if (!FirstChild(document, cls)) return false;
        }
        return true;
    });
}

std::wstring GetCaption(HWND window) {
    return FromAnsi(WindowText(window));
}

} // namespace AolKit
