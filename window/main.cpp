// idler: keeps the user signed on to the client while away.
#include "window/form1.h"
#include "engine/handlers.h"
#include "system/fallbacks.h"
#include "system/message_pump.h"

namespace {

// One copy per desktop session: two would both post every line and write
// the same data file. The mutex is held until the program ends; the system
// frees it with the process, however that ends.
bool AnotherCopyRuns() {
    CreateMutexA(nullptr, FALSE, "idler one copy");
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

// The running copy's window comes to the front, restored if minimized. A copy
// started a moment ago may not have its window yet: it gets a few seconds.
void BringRunningCopyForward() {
    for (int look = 0; look < 100; ++look, Sleep(50)) {
        HWND running = FindWindowA(kForm1Class, kForm1Caption);
        if (!running) continue;
        if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
        return;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (AnotherCopyRuns()) {
        BringRunningCopyForward();
        return 0;
    }
    Form1* form = CreateForm1(instance);
    Form_Load(*form);
    ShowWindow(form->hwnd, SW_SHOWNORMAL);
    UpdateWindow(form->hwnd);
    // The program ends through its handlers (ExitProcess); a WM_QUIT sent to
    // the thread by someone else ends it too, as it ends any message loop.
    for (;;) {
        if (DispatchPending()) return 0;
        WaitForInput(INFINITE);
    }
}
