// Form1's window, its skin child Picture1, the controls and the menu, and the
// routing of every event to its handler.
#include "window/form1.h"
#include "window/behaviour.h"
#include "window/layout.h"
#include "window/resource.h"
#include "client/commands.h"
#include "engine/handlers.h"
#include "store/commands.h"
#include <cstdlib>
#include <string>

namespace {

constexpr const wchar_t* kPictureClass = L"IdlerPicture1";

using layout::Px;

// Runs a handler. The program is built without exceptions (see
// lean_runtime.cpp), so nothing can unwind through the window procedure; this
// is the one place to put a handler-wide guard should one ever be needed.
template <typename F> void Guarded(F&& handler) {
    handler();
}

HFONT MakeFont(const wchar_t* face, double points, bool bold) {
    const int height = -static_cast<int>(points * 96.0 / 72.0 + 0.5);
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// "Kids" is rarely installed; a playful face stands in for it.
const wchar_t* KidsFace() {
    bool found = false;
    HDC screen = GetDC(nullptr);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, L"Kids", LF_FACESIZE);
    EnumFontFamiliesExW(screen, &query, FoundFont, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found ? L"Kids" : L"Comic Sans MS";
}

HFONT FontFor(const Form1& form, layout::Font font) {
    switch (font) {
    case layout::Font::Tahoma9:
        return form.tahoma9;
    case layout::Font::ArialNarrow975:
        return form.arialNarrow;
    case layout::Font::Arial825Bold:
        return form.arialBold;
    case layout::Font::Kids9:
        return form.kids;
    case layout::Font::None:
        break;
    }
    return nullptr;
}

HMENU BuildMenu(Form1& form) {
    HMENU im = CreatePopupMenu();
    AppendMenuW(im, MF_STRING, kMnuOff, L"&Off");
    AppendMenuW(im, MF_STRING, kMnuOn, L"O&n");
    HMENU other = CreatePopupMenu();
    AppendMenuW(other, MF_STRING, kMnuAd, L"&Advertise");
    AppendMenuW(other, MF_STRING, kMnuStats, L"&Scroll Stats");
    AppendMenuW(other, MF_STRING, kMnuMouse, L"Mouse &Movement");

    HMENU op = CreatePopupMenu();
    AppendMenuW(op, MF_STRING, kMnuSilent, L"&Silent Mode");
    AppendMenuW(op, MF_STRING, kMnuMini, L"&Minimize");
    AppendMenuW(op, MF_SEPARATOR, 0, nullptr); // line0
    AppendMenuW(op, MF_STRING, kMnuLtime, L"Load &Time");
    AppendMenuW(op, MF_STRING, kMnuLpref, L"Load &Prefs");
    AppendMenuW(op, MF_SEPARATOR, 0, nullptr); // lineq
    AppendMenuW(op, MF_STRING, kMnuStime, L"Save T&ime");
    AppendMenuW(op, MF_STRING, kMnuSpref, L"Save P&refs");
    AppendMenuW(op, MF_SEPARATOR, 0, nullptr); // linew
    AppendMenuW(op, MF_POPUP, reinterpret_cast<UINT_PTR>(im), L"IMs");
    AppendMenuW(op, MF_POPUP, reinterpret_cast<UINT_PTR>(other), L"&Other");
    AppendMenuW(op, MF_STRING, kMnuReset, L"Reset &All");
    AppendMenuW(op, MF_STRING, kMnuRtime, L"Reset Ti&me");
    AppendMenuW(op, MF_STRING, kMnuExit, L"&Exit");

    // The one top-level entry, "&Options", is never shown as a menu bar.
    form.menuBar = CreateMenu();
    AppendMenuW(form.menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(op), L"&Options");
    return op;
}

HWND MakeControl(HWND parent, const wchar_t* cls, DWORD style, DWORD exStyle,
                 const layout::ControlRect& r, const wchar_t* text) {
    return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Px(r.left), Px(r.top),
                           Px(r.width), Px(r.height), parent, nullptr,
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

// The box toggles itself on the button's release; Check1_mouseup runs after
// that, for any button, even when the release is outside the box. The box's
// user data holds its Form1. (Subclassed the classic way: the common-controls
// helpers would load comctl32, some 3 MB of memory for this one box.)
LRESULT CALLBACK Check1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form1& form = *reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const LRESULT result = CallWindowProcW(form.check1Proc, hwnd, msg, wp, lp);
    if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP) {
        Guarded([&] { Check1_mouseup(form); });
    }
    return result;
}

void CreateControls(Form1& form) {
    HWND pic = form.Picture1;
    // Created in Tab order: Text2, Text3, Text4, Check1 (Text1 is disabled).
    const DWORD field = WS_TABSTOP | ES_AUTOHSCROLL;
    form.Text2 = MakeControl(pic, L"EDIT", field, WS_EX_CLIENTEDGE, layout::kText2, L"");
    form.Text3 = MakeControl(pic, L"EDIT", field, WS_EX_CLIENTEDGE, layout::kText3, L"");
    form.Text4 = MakeControl(pic, L"EDIT", field, WS_EX_CLIENTEDGE, layout::kText4, L"");
    form.Check1 =
        MakeControl(pic, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0, layout::kCheck1, L"");
    form.Text1 =
        MakeControl(pic, L"EDIT", ES_CENTER | WS_DISABLED, WS_EX_CLIENTEDGE, layout::kText1, L"0");
    for (HWND text : {form.Text2, form.Text3, form.Text4})
        SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(form.tahoma825), FALSE);
    SendMessageW(form.Text1, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    SetWindowLongPtrW(form.Check1, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
    form.check1Proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(form.Check1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Check1Proc)));
}

// ---- painting -------------------------------------------------------------

// A packed DIB from the resources: its header, colours, then its pixels.
const BITMAPINFO* PackedDib(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_BITMAP);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    return loaded ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
}

const void* DibBits(const BITMAPINFO& dib) {
    const BITMAPINFOHEADER& h = dib.bmiHeader;
    DWORD colours = h.biClrUsed ? h.biClrUsed : h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) colours += 3;
    return reinterpret_cast<const BYTE*>(&dib) + h.biSize + colours * sizeof(RGBQUAD);
}

// Draws the picture with its top left corner at x, y of dc.
void DrawDib(HDC dc, const BITMAPINFO* dib, int x, int y) {
    if (!dib) return;
    const int width = dib->bmiHeader.biWidth, height = std::abs(dib->bmiHeader.biHeight);
    SetDIBitsToDevice(dc, x, y, width, height, 0, 0, 0, height, DibBits(*dib), dib, DIB_RGB_COLORS);
}

void DrawLabel(HDC dc, const Form1& form, const layout::Item& item) {
    if (!item.caption) return;
    HGDIOBJ old = SelectObject(dc, FontFor(form, item.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(item.color.r, item.color.g, item.color.b));
    RECT r{Px(item.a), Px(item.b), Px(item.a + item.c), Px(item.b + item.d)};
    DrawTextW(dc, item.caption, -1, &r, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, old);
}

void DrawLine(HDC dc, const layout::Item& item) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, Px(item.a), Px(item.b), nullptr);
    LineTo(dc, Px(item.c), Px(item.d));
    SetPixel(dc, Px(item.c), Px(item.d), GetSysColor(COLOR_WINDOWTEXT)); // ends inclusive
    SelectObject(dc, old);
    DeleteObject(pen);
}

// The skin, then every windowless item in creation order. Straight onto the
// window: the skin covers it all, and a buffer would cost a window-sized
// bitmap for a picture that is drawn a handful of times a day.
void PaintPicture(const Form1& form, HDC dc) {
    RECT client;
    GetClientRect(form.Picture1, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawDib(dc, form.skin, 0, 0);
    for (int i = 0; i < layout::kItemCount; ++i) {
        const layout::Item& item = layout::kItems[i];
        if (item.kind == layout::Kind::Label) DrawLabel(dc, form, item);
        if (item.kind == layout::Kind::Line) DrawLine(dc, item);
        if (item.kind == layout::Kind::Image && form.Image1Visible)
            DrawDib(dc, form.stop, Px(item.a), Px(item.b));
    }
}

// A brush of the piece of skin under the control, for its background.
HBRUSH SkinUnder(const Form1& form, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form.Picture1, reinterpret_cast<POINT*>(&r), 2);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP piece = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, piece);
    DrawDib(dc, form.skin, -r.left, -r.top);
    SelectObject(dc, old);
    DeleteDC(dc);
    HBRUSH brush = CreatePatternBrush(piece);
    DeleteObject(piece); // the brush keeps its own copy
    return brush;
}

// ---- Picture1's mouse -----------------------------------------------------

std::optional<layout::ItemId> ItemAt(const Form1& form, LPARAM lp) {
    const int x = static_cast<short>(LOWORD(lp)) * layout::kTwipsPerPixel;
    const int y = static_cast<short>(HIWORD(lp)) * layout::kTwipsPerPixel;
    return layout::HitTest(x, y, form.Image1Visible, form.Label9Visible);
}

void MouseDown(Form1& form, UINT msg, LPARAM lp) {
    const auto item = ItemAt(form, lp);
    if (!item) return Picture1_MouseDown(form);
    if (*item == layout::ItemId::Label10) return Label10_MouseDown(form);
    // Any other label or the Stop picture takes the press; a left release over
    // the same item is its click.
    if (msg == WM_LBUTTONDOWN) {
        form.pressedItem = static_cast<int>(*item);
        SetCapture(form.Picture1);
    }
}

void Click(Form1& form, layout::ItemId item) {
    using layout::ItemId;
    switch (item) {
    case ItemId::Label1:
        return Label1_Click(form);
    case ItemId::Label2:
        return Label2_Click(form);
    case ItemId::Label8:
        return Label8_Click(form);
    case ItemId::Label9:
        return Label9_Click(form);
    case ItemId::Label12:
        return Label12_Click(form);
    case ItemId::Image1:
        return Image1_Click(form);
    default:
        return; // captions without a handler
    }
}

void LeftUp(Form1& form, LPARAM lp) {
    const int pressed = form.pressedItem;
    form.pressedItem = -1;
    if (GetCapture() == form.Picture1) ReleaseCapture();
    const auto item = ItemAt(form, lp);
    if (pressed >= 0 && item && static_cast<int>(*item) == pressed) Click(form, *item);
}

HBRUSH ControlColours(Form1& form, HDC dc, HWND control) {
    if (control == form.Text2 || control == form.Text3 || control == form.Text4) {
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkColor(dc, RGB(0, 0, 0));
        return form.fieldBrush;
    }
    if (control == form.Check1) {
        // The skin shows around the tick box: its brush is the piece under it.
        SetBrushOrgEx(dc, 0, 0, nullptr);
        SetBkMode(dc, TRANSPARENT);
        return form.skinBrush;
    }
    return nullptr;
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form1* form = FormOf(GetParent(hwnd));
    if (!form) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintPicture(*form, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        Guarded([&] { MouseDown(*form, msg, lp); });
        return 0;
    case WM_LBUTTONUP:
        Guarded([&] { LeftUp(*form, lp); });
        return 0;
    case WM_CAPTURECHANGED:
        form->pressedItem = -1;
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (HBRUSH brush =
                ControlColours(*form, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    }
    result = DefWindowProcW(hwnd, msg, wp, lp);
    return result;
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
    Guarded([&] { Form_Unload(form); });
    DestroyWindow(form.hwnd);
    Form_Terminate();
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Form1* form = FormOf(hwnd);
    if (!form) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == 0 && lp == 0) Guarded([&] { Command(*form, LOWORD(wp)); });
        return 0;
    case WM_TIMER:
        if (wp == kTimer1) Guarded([&] { Timer1_Timer(*form); });
        if (wp == kTimer2) Guarded([&] { Timer2_Timer(*form); });
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
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete form;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_IDLER));
    form.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_IDLER), IMAGE_ICON, 16, 16, 0));
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kForm1Class;
    RegisterClassExW(&form);

    WNDCLASSEXW picture{};
    picture.cbSize = sizeof picture;
    picture.lpfnWndProc = PictureProc;
    picture.hInstance = instance;
    picture.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    picture.lpszClassName = kPictureClass;
    RegisterClassExW(&picture);
}

} // namespace

Form1* FormOf(HWND hwnd) {
    return reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

Form1* CreateForm1(HINSTANCE instance) {
    RegisterClasses(instance);

    auto* form = new Form1;
    form->skin = PackedDib(instance, IDB_SKIN);
    form->stop = PackedDib(instance, IDB_STOP);
    form->tahoma825 = MakeFont(L"Tahoma", 8.25, false);
    form->tahoma9 = MakeFont(L"Tahoma", 9, false);
    form->arialNarrow = MakeFont(L"Arial Narrow", 9.75, false);
    form->arialBold = MakeFont(L"Arial", 8.25, true);
    form->kids = MakeFont(KidsFace(), 9, false);
    form->fieldBrush = CreateSolidBrush(RGB(0, 0, 0));
    form->mnu_op = BuildMenu(*form);

    // No caption, no frame, no menu bar; a tool window has no taskbar button.
    // Topmost comes from StayOnTop in Form_Load, the size from Form_Load too.
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kForm1Class, kForm1Caption,
                                WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, CW_USEDEFAULT, Px(layout::kFormWidth),
                                Px(layout::kFormHeight), nullptr, nullptr, instance, form);
    if (!hwnd) {
        delete form;
        return nullptr;
    }
    form->hwnd = hwnd;
    HICON big = LoadIconW(instance, MAKEINTRESOURCEW(IDI_IDLER));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));

    // Picture1 covers the window and runs 30 twips past its right edge and 15
    // past its bottom; WS_EX_CONTROLPARENT lets Tab reach the fields inside it.
    form->Picture1 = CreateWindowExW(
        WS_EX_CONTROLPARENT, kPictureClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
        Px(layout::kPictureWidth), Px(layout::kPictureHeight), hwnd, nullptr, instance, nullptr);
    CreateControls(*form);
    form->skinBrush = SkinUnder(*form, form->Check1);
    return form;
}
