// Form1's window: its classes, fonts, menu and controls, and the routing of
// its events to their handlers (Picture1's are in picture1.cpp).
#include "window/form1.h"
#include "window/behaviour.h"
#include "window/layout.h"
#include "window/picture1.h"
#include "window/resource.h"
#include "window/scoped_gdi.h"
#include "client/commands.h"
#include "engine/handlers.h"
#include "store/commands.h"
#include <string>

namespace {

constexpr const char* kPictureClass = "IdlerPicture1";

using layout::Px;

HFONT MakeFont(const char* face, double points, bool bold) {
    const int height = -static_cast<int>(points * 96.0 / 72.0 + 0.5);
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

int CALLBACK FoundFont(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// "Kids" is rarely installed; a playful face stands in for it.
const char* KidsFace() {
    bool found = false;
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(query.lfFaceName, "Kids", LF_FACESIZE);
    EnumFontFamiliesExA(ScreenDc(GetDC(nullptr)), &query, FoundFont,
                        reinterpret_cast<LPARAM>(&found), 0);
    return found ? "Kids" : "Comic Sans MS";
}

// The pop-up, with its submenus. No menu bar holds it: TrackPopupMenu shows
// a pop-up on its own, and the window has no menu bar to show.
HMENU BuildMenu() {
    HMENU im = CreatePopupMenu();
    AppendMenuA(im, MF_STRING, kMnuOff, "&Off");
    AppendMenuA(im, MF_STRING, kMnuOn, "O&n");
    HMENU other = CreatePopupMenu();
    AppendMenuA(other, MF_STRING, kMnuAd, "&Advertise");
    AppendMenuA(other, MF_STRING, kMnuStats, "&Scroll Stats");
    AppendMenuA(other, MF_STRING, kMnuMouse, "Mouse &Movement");

    HMENU op = CreatePopupMenu();
    AppendMenuA(op, MF_STRING, kMnuSilent, "&Silent Mode");
    AppendMenuA(op, MF_STRING, kMnuMini, "&Minimize");
    AppendMenuA(op, MF_SEPARATOR, 0, nullptr); // line0
    AppendMenuA(op, MF_STRING, kMnuLtime, "Load &Time");
    AppendMenuA(op, MF_STRING, kMnuLpref, "Load &Prefs");
    AppendMenuA(op, MF_SEPARATOR, 0, nullptr); // lineq
    AppendMenuA(op, MF_STRING, kMnuStime, "Save T&ime");
    AppendMenuA(op, MF_STRING, kMnuSpref, "Save P&refs");
    AppendMenuA(op, MF_SEPARATOR, 0, nullptr); // linew
    AppendMenuA(op, MF_POPUP, reinterpret_cast<UINT_PTR>(im), "IMs");
    AppendMenuA(op, MF_POPUP, reinterpret_cast<UINT_PTR>(other), "&Other");
    AppendMenuA(op, MF_STRING, kMnuReset, "Reset &All");
    AppendMenuA(op, MF_STRING, kMnuRtime, "Reset Ti&me");
    AppendMenuA(op, MF_STRING, kMnuExit, "&Exit");
    return op;
}

// A window, class or control that cannot be made is the one failure the
// program does not survive: a box names it, and the program ends.
[[noreturn]] void CannotCreate(const char* what) {
    // What failed has an ASCII name: the box takes it as it stands.
    std::string prompt = "idler cannot create ";
    prompt += what;
    prompt += ".";
    MessageBoxA(nullptr, prompt.c_str(), kForm1Caption, MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

HWND Created(HWND window, const char* what) {
    if (!window) CannotCreate(what);
    return window;
}

HWND MakeControl(const char* name, HWND parent, const char* cls, DWORD style, DWORD exStyle,
                 const layout::ControlRect& r, const char* text) {
    return Created(
        CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Px(r.left), Px(r.top),
                        Px(r.width), Px(r.height), parent, nullptr,
                        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                        nullptr),
        name);
}

// The box toggles itself on the button's release; Check1_mouseup runs after
// that, for a release of any button over the box, and for a left release
// anywhere: the box captures the mouse on a left press only, so a right or
// middle release outside it goes elsewhere. The box's user data holds its
// Form1. (Subclassed the classic way: the common-controls helpers would load
// comctl32, some 3 MB of memory for this one box.)
LRESULT CALLBACK Check1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form1& form = *reinterpret_cast<Form1*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    const LRESULT result = CallWindowProcA(form.check1Proc, hwnd, msg, wp, lp);
    if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP) {
        Check1_mouseup(form);
    }
    return result;
}

void CreateControls(Form1& form) {
    HWND pic = form.Picture1;
    // Created in Tab order: Text2, Text3, Text4, Check1 (Text1 is disabled).
    const DWORD field = WS_TABSTOP | ES_AUTOHSCROLL;
    form.Text2 = MakeControl("Text2", pic, "EDIT", field, WS_EX_CLIENTEDGE, layout::kText2, "");
    form.Text3 = MakeControl("Text3", pic, "EDIT", field, WS_EX_CLIENTEDGE, layout::kText3, "");
    form.Text4 = MakeControl("Text4", pic, "EDIT", field, WS_EX_CLIENTEDGE, layout::kText4, "");
    form.Check1 =
        MakeControl("Check1", pic, "BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0, layout::kCheck1, "");
    form.Text1 = MakeControl("Text1", pic, "EDIT", ES_CENTER | WS_DISABLED, WS_EX_CLIENTEDGE,
                             layout::kText1, "0");
    for (HWND text : {form.Text2, form.Text3, form.Text4})
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(HFONT{form.tahoma825}), FALSE);
    SendMessageA(form.Text1, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    SetWindowLongPtrA(form.Check1, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
    form.check1Proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(form.Check1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Check1Proc)));
}

// ---- Form1 ----------------------------------------------------------------

void Command(Form1& form, UINT id) {
    switch (id) {
    case kMnuSilent:
        return mnu_silent_Click(form);
    case kMnuMini:
        return mnu_mini_Click(form);
    case kMnuLtime:
        return mnu_Ltime_Click(form);
    case kMnuLpref:
        return mnu_Lpref_Click(form);
    case kMnuStime:
        return mnu_Stime_Click(form);
    case kMnuSpref:
        return mnu_Spref_Click(form);
    case kMnuOff:
        return mnu_off_Click(form);
    case kMnuOn:
        return mnu_on_Click(form);
    case kMnuAd:
        return mnu_ad_Click(form);
    case kMnuStats:
        return mnu_stats_Click(form);
    case kMnuMouse:
        return mnu_mouse_Click(form);
    case kMnuReset:
        return mnu_reset_Click(form);
    case kMnuRtime:
        return mnu_rtime_Click(form);
    case kMnuExit:
        return mnu_exit_Click(form);
    default:
        return;
    }
}

// Closed by other means than the exit commands (the system's close command,
// Alt+F4, log-off, shutdown): Form_Unload announces, the window goes, then
// Form_Terminate announces and ends the program.
[[noreturn]] void CloseBySystem(Form1& form) {
    Form_Unload(form);
    DestroyWindow(form.hwnd);
    Form_Terminate();
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Form1* form = FormOf(hwnd);
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == 0 && lp == 0) Command(*form, LOWORD(wp));
        return 0;
    case WM_TIMER:
        if (wp == kTimer1) Timer1_Timer(*form);
        if (wp == kTimer2) Timer2_Timer(*form);
        return 0;
    case WM_CLOSE:
        CloseBySystem(*form);
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wp) CloseBySystem(*form);
        return 0;
    case WM_ACTIVATE:
        // Like a dialog: the first field takes the focus when none of ours has it.
        if (LOWORD(wp) != WA_INACTIVE && !IsChild(hwnd, GetFocus())) SetFocus(form->Text2);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        delete form;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A class registered already was registered by an earlier Form1 of this
// process, and serves again.
void Register(const WNDCLASSEXA& windowClass, const char* what) {
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        CannotCreate(what);
}

// The class keeps its small icon for as long as the process runs: one icon,
// loaded with the first registration and held here, however many Form1s are
// made. (The large one comes from LoadIcon, which shares it: nothing to free.)
HICON SmallIcon(HINSTANCE instance) {
    static const OwnedIcon icon(static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_IDLER), IMAGE_ICON, 16, 16, 0)));
    return icon;
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_IDLER));
    form.hIconSm = SmallIcon(instance);
    form.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    form.lpszClassName = kForm1Class;
    Register(form, "Form1's class");

    // The second press of a double-click comes as a double-click, which no
    // caption or picture answers: a double-click on Start starts idling once.
    WNDCLASSEXA picture{};
    picture.cbSize = sizeof picture;
    picture.style = CS_DBLCLKS;
    picture.lpfnWndProc = PictureProc;
    picture.hInstance = instance;
    picture.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    picture.lpszClassName = kPictureClass;
    Register(picture, "Picture1's class");
}

} // namespace

Form1::Form1(HINSTANCE instance)
    : skin(PackedDib(instance, IDB_SKIN)), stop(PackedDib(instance, IDB_STOP)),
      tahoma825(MakeFont("Tahoma", 8.25, false)), tahoma9(MakeFont("Tahoma", 9, false)),
      arialNarrow(MakeFont("Arial Narrow", 9.75, false)), arialBold(MakeFont("Arial", 8.25, true)),
      kids(MakeFont(KidsFace(), 9, false)), fieldBrush(CreateSolidBrush(RGB(0, 0, 0))),
      mnu_op(BuildMenu()) {}

Form1* FormOf(HWND hwnd) {
    return reinterpret_cast<Form1*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

Form1* CreateForm1(HINSTANCE instance) {
    RegisterClasses(instance);

    auto* form = new Form1(instance);

    // No caption, no frame, no menu bar; a tool window has no taskbar button.
    // Topmost comes from StayOnTop in Form_Load.
    // The window owns the struct from WM_NCCREATE on and deletes it at
    // WM_NCDESTROY, a failed creation included; a window not made at all ends
    // the program.
    HWND hwnd = Created(CreateWindowExA(WS_EX_TOOLWINDOW, kForm1Class, kForm1Caption,
                                        WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                                        CW_USEDEFAULT, CW_USEDEFAULT, Px(layout::kFormWidth),
                                        Px(layout::kFormHeight), nullptr, nullptr, instance, form),
                        "Form1");
    form->hwnd = hwnd;
    HICON big = LoadIconA(instance, MAKEINTRESOURCEA(IDI_IDLER));
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));

    // Picture1 covers the window and runs 30 twips past its right edge and 15
    // past its bottom; WS_EX_CONTROLPARENT lets Tab reach the fields inside it.
    form->Picture1 = Created(CreateWindowExA(WS_EX_CONTROLPARENT, kPictureClass, "",
                                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                             Px(layout::kPictureWidth), Px(layout::kPictureHeight),
                                             hwnd, nullptr, instance, nullptr),
                             "Picture1");
    CreateControls(*form);
    form->skinBrush = SkinUnder(*form, form->Check1);
    return form;
}
