// idler: keeps the user signed on to the client while away.
#include "window/form1.h"
#include "engine/handlers.h"
#include "engine/pause.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Form1* form = CreateForm1(instance);
    if (!form) return 1;
    Form_Load(*form);
    ShowWindow(form->hwnd, SW_SHOWNORMAL);
    UpdateWindow(form->hwnd);
    // The program ends through its handlers (ExitProcess); a WM_QUIT sent to
    // the thread by someone else ends it too, as it ends any message loop.
    for (;;) {
        if (DispatchPending()) return 0;
        WaitForEvents(INFINITE);
    }
}
