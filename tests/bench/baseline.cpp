// The yardstick: the smallest useful Win32 program, one window and a message
// loop, built with the product's flags. Size and run-time costs of idler are
// reported next to it.
#include <windows.h>

namespace {

LRESULT CALLBACK BaselineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = BaselineProc;
    cls.hInstance = instance;
    cls.lpszClassName = L"IdlerBaseline";
    RegisterClassW(&cls);
    HWND hwnd =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"IdlerBaseline", L"baseline",
                        WS_POPUP | WS_VISIBLE, 0, 0, 314, 118, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
