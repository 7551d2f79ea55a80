#include "window/behaviour.h"
#include "system/fallbacks.h"
#include "window/form1.h"
#include "window/layout.h"

namespace AolKit {

void StayOnTop(Form1& form) {
    SetWindowPos(form.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Hands the press to the system's move loop, as if it had been made on a
// title bar; returns when the button is up. The system reads the command as
// wParam & 0xFFF0 and keeps the low four bits for itself: HTCAPTION there
// makes SC_MOVE follow the held mouse instead of the arrow keys. Nothing on
// the way here sets the capture; a left press still held on a label may hold
// it, and releasing it ends that press before the move loop starts.
void FormDrag(Form1& form) {
    ReleaseCapture();
    SendMessageA(form.hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

} // namespace AolKit

void Label10_MouseDown(Form1& form) {
    AolKit::FormDrag(form);
}
void Picture1_MouseDown(Form1& form) {
    AolKit::FormDrag(form);
}

void Label2_Click(Form1& form) {
    ShowWindow(form.hwnd, SW_MINIMIZE);
}
void mnu_mini_Click(Form1& form) {
    ShowWindow(form.hwnd, SW_MINIMIZE);
}

// The pop-up opens at the left edge of "Options", 227 twips below the top.
void Label12_Click(Form1& form) {
    POINT at{layout::Px(layout::ItemOf(layout::ItemId::Label12).a), layout::Px(layout::kPopupY)};
    ClientToScreen(form.hwnd, &at);
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(form.hwnd);
    TrackPopupMenu(form.mnu_op, 0, at.x, at.y, 0, form.hwnd, nullptr);
    PostMessageA(form.hwnd, WM_NULL, 0, 0);
}

void Label9_Click(Form1& form) {
    SetTimer1(form, true);
    KeepSystemAwake(true);
    InvalidateRect(form.Picture1, nullptr, FALSE);
}

void Image1_Click(Form1& form) {
    SetTimer1(form, false);
    KeepSystemAwake(false);
    InvalidateRect(form.Picture1, nullptr, FALSE);
}
