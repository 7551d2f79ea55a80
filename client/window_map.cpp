#include "client/aolkit_client.h"
#include "client/client_windows.h"

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

bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, INFINITE, &result) !=
           0;
}

bool Click(HWND icon) {
    if (!icon) return false;
    const bool pressed = Deliver(icon, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(icon, WM_LBUTTONUP, 0, 0);
    return pressed;
}

} // namespace client_windows

namespace {

using namespace client_windows;

// A chat room has, among its direct children, one of each of these classes.
bool IsChatRoom(HWND document) {
    for (const char* cls : {kRichText, "_AOL_Listbox", kIcon, "_AOL_Static"}) {
        if (!FirstChild(document, cls)) return false;
    }
    return true;
}

} // namespace

namespace AolKit {

HWND FindChatRoom() {
    HWND mdi = MdiArea(ClientFrame());
    for (HWND document = FirstChild(mdi, kDocument); document;
         document = NextChild(mdi, document, kDocument)) {
        if (IsChatRoom(document)) return document;
    }
    return nullptr;
}

std::wstring GetCaption(HWND window) {
    return FromAnsi(WindowText(window));
}

} // namespace AolKit
