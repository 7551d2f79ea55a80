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

void Click(HWND icon) {
    if (!icon) return;
    SendMessageA(icon, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(icon, WM_LBUTTONUP, 0, 0);
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

// The caption may change between reading its length and its text: only what
// was copied is kept (no trailing zeros when it shrank), and when the copy
// filled the buffer the length is read again, a few times at most, in case it
// grew.
std::wstring GetCaption(HWND window) {
    constexpr int kTries = 4;
    if (!window) return {};
    std::string caption;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const int length = GetWindowTextLengthA(window);
        if (length <= 0) return {};
        caption.assign(static_cast<size_t>(length) + 1, '\0');
        const int copied = GetWindowTextA(window, caption.data(), length + 1);
        caption.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        if (copied < length || GetWindowTextLengthA(window) <= length) break;
    }
    return FromAnsi(caption);
}

} // namespace AolKit
