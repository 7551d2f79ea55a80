#include "system/message_pump.h"
#include "system/fallbacks.h"

bool DispatchPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return true;
        }
        // Tab between the window's fields works during a wait as well.
        HWND root = msg.hwnd ? RootWindow(msg.hwnd) : nullptr;
        if (root && IsDialogMessageA(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return false;
}
