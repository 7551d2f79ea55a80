#pragma once
// Form1, the program's only window: a plain struct of the handles that make it
// up. The program's state lives in these controls (the counter is Text1's
// text, Silent mode is Check1's value, idling is "Timer1 runs"); the struct
// belongs to the window (its user data) and is handed to every handler.
//
// Handlers nest. AolKit::Pause (between the two lines of every pair) and the
// waits of AolKit::InstantMessage (up to 10 s for the IM window, 20 s for the
// client's answer, 1 s for the window it closed) dispatch every pending
// event, and so do the system's modal loops (a message box, the pop-up menu,
// a drag). So any handler can run inside another's wait: a tick of either
// timer, a menu command, a click, another IM switch with waits of its own, a
// close by the system; its lines then fall between the two of a pair. After
// a wait a handler reads again what it uses (the texts, Check1, the menu's
// marks, the timers); client windows are found afresh on every use anyway.
// Label1_Click, mnu_exit_Click and a close by the system (Form_Unload, the
// window destroyed and this struct with it, then Form_Terminate) end the
// program: run inside a wait, they end it there, and the handler that waited
// never goes on. A send to the client is a wait too, of at most 5.5 s:
// while it waits, only the messages sent to idler run (a close by the system
// at log-off, an activation), not posted ones (ticks, clicks, keys). Nothing
// is locked; outside these waits a handler runs whole.
#include "engine/mover.h"
#include "window/scoped_gdi.h"
#include <windows.h>
#include <string>

// Command ids of the pop-up menu's entries.
enum MenuId : UINT {
    kMnuSilent = 101,
    kMnuMini,
    kMnuLtime,
    kMnuLpref,
    kMnuStime,
    kMnuSpref,
    kMnuOff,
    kMnuOn,
    kMnuAd,
    kMnuStats,
    kMnuMouse,
    kMnuReset,
    kMnuRtime,
    kMnuExit,
};

// Timer ids on the window; a test brings a tick forward by posting WM_TIMER
// with one of these.
enum TimerId : UINT_PTR { kTimer1 = 1, kTimer2 = 2 };
inline constexpr UINT kTimer1Interval = 60000;
inline constexpr UINT kTimer2Interval = 20000;

struct Form1 {
    Form1() = default;
    // Its pictures, fonts, brushes and menu, made; the window and controls
    // come after (CreateForm1). Not copyable: it owns what it made.
    explicit Form1(HINSTANCE instance);

    HWND hwnd{};     // the top-level window
    HWND Picture1{}; // the skin; paints the windowless labels, lines and Image1
    HWND Text1{}, Text2{}, Text3{}, Text4{};
    HWND Check1{};
    WNDPROC check1Proc{};  // the box's own procedure, which Check1Proc calls first
    bool timer1On = false; // as SetTimer1 left it: idling
    // The pictures, as packed DIBs in the program's own resources: drawn from
    // there, never copied into memory of ours.
    const BITMAPINFO* skin{};
    const BITMAPINFO* stop{};
    OwnedGdi<HFONT> tahoma825, tahoma9, arialNarrow, arialBold, kids;
    OwnedGdi<HBRUSH> fieldBrush, skinBrush;
    OwnedMenu mnu_op;       // the pop-up shown from "Options", with its submenus
    int pressedItem = -1;   // the label or image a left press began on, for its click
    mover::Generator rng{}; // the mouse mover's points, the same in every run
};

// The window class of Form1, by which a person's tools (and our tests) find it.
inline constexpr const char* kForm1Class = "IdlerForm1";
inline constexpr const char* kForm1Caption = "idler";

// Creates Form1 with its controls, pictures and menu, hidden; the handlers
// get the returned struct, which the window owns. A window class, window or
// control that cannot be made ends the program after a box that names it,
// so the result is never null.
Form1* CreateForm1(HINSTANCE instance);
Form1* FormOf(HWND hwnd);

// Control state as the handlers name it. The controls hold ANSI text, as the
// client and the data file do (see system/ansi.h).
std::wstring GetText(HWND control);
void SetText(HWND control, const std::wstring& text);
int Check1_Value(const Form1& form);
void SetCheck1_Value(Form1& form, int value);
bool MenuChecked(const Form1& form, UINT id);
void SetMenuChecked(Form1& form, UINT id, bool checked);
void SetTimer1(Form1& form, bool on);
void SetTimer2(Form1& form, bool on);
// Start (Label9) and the Stop picture (Image1) take turns over one button:
// Stop shows while Timer1 runs.
bool Image1Visible(const Form1& form);
bool Label9Visible(const Form1& form);
