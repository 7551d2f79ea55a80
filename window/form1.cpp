#include "window/form1.h"
#include "system/ansi.h"
#include "window/ui.h"

std::wstring GetText(HWND control) {
    return FromAnsi(WindowText(control));
}

void SetText(HWND control, const std::wstring& text) {
    SetWindowTextA(control, ToAnsi(text).c_str());
}

int Check1_Value(const Form1& form) {
    return static_cast<int>(SendMessageA(form.Check1, BM_GETCHECK, 0, 0));
}

// Setting the value from code sends no mouse-up, so no announcement follows.
void SetCheck1_Value(Form1& form, int value) {
    SendMessageA(form.Check1, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

bool MenuChecked(const Form1& form, UINT id) {
    return (GetMenuState(form.mnu_op, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void SetMenuChecked(Form1& form, UINT id, bool checked) {
    CheckMenuItem(form.mnu_op, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

namespace {

// SetTimer on a running timer replaces it, so a later Start begins a fresh interval.
void RunTimer(const Form1& form, TimerId id, UINT interval, bool on) {
    if (on)
        SetTimer(form.hwnd, id, interval, nullptr);
    else
        KillTimer(form.hwnd, id);
}

} // namespace

void SetTimer1(Form1& form, bool on) {
    form.timer1On = on;
    RunTimer(form, kTimer1, kTimer1Interval, on);
}

void SetTimer2(Form1& form, bool on) {
    RunTimer(form, kTimer2, kTimer2Interval, on);
}

bool Image1Visible(const Form1& form) {
    return form.timer1On;
}

bool Label9Visible(const Form1& form) {
    return !form.timer1On;
}
