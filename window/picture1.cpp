// Picture1: painting the skin and the windowless items, and hit-testing
// mouse presses on them.
#include "window/picture1.h"
#include "window/behaviour.h"
#include "window/form1.h"
#include "window/layout.h"
#include "window/scoped_gdi.h"
#include "engine/handlers.h"
#include <cstdlib>

namespace {

using layout::Px;

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
    const Selected font(dc, FontFor(form, item.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(item.color.r, item.color.g, item.color.b));
    RECT r{Px(item.a), Px(item.b), Px(item.a + item.c), Px(item.b + item.d)};
    DrawTextA(dc, item.caption, -1, &r, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
}

void DrawLine(HDC dc, const layout::Item& item) {
    const OwnedGdi<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT)));
    const Selected selected(dc, pen);
    MoveToEx(dc, Px(item.a), Px(item.b), nullptr);
    LineTo(dc, Px(item.c), Px(item.d));
    SetPixel(dc, Px(item.c), Px(item.d), GetSysColor(COLOR_WINDOWTEXT)); // ends inclusive
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
        if (item.kind == layout::Kind::Image && Image1Visible(form))
            DrawDib(dc, form.stop, Px(item.a), Px(item.b));
    }
}

} // namespace

const BITMAPINFO* PackedDib(HINSTANCE instance, int id) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    return loaded ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
}

HBRUSH SkinUnder(const Form1& form, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form.Picture1, reinterpret_cast<POINT*>(&r), 2);
    const ScreenDc screen(GetDC(nullptr));
    const OwnedGdi<HBITMAP> piece(
        CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
    {
        const MemoryDc dc(CreateCompatibleDC(screen));
        const Selected selected(dc, piece);
        DrawDib(dc, form.skin, -r.left, -r.top);
    }
    return CreatePatternBrush(piece); // the brush keeps its own copy
}

namespace {

std::optional<layout::ItemId> ItemAt(const Form1& form, LPARAM lp) {
    const int x = static_cast<short>(LOWORD(lp)) * layout::kTwipsPerPixel;
    const int y = static_cast<short>(HIWORD(lp)) * layout::kTwipsPerPixel;
    return layout::HitTest(x, y, Image1Visible(form), Label9Visible(form));
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

} // namespace

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form1* form = FormOf(GetParent(hwnd));
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
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
    case WM_RBUTTONDBLCLK: // the other buttons' second presses stay presses
    case WM_MBUTTONDBLCLK:
        MouseDown(*form, msg, lp);
        return 0;
    case WM_LBUTTONDBLCLK: // no click and no drag: the release finds nothing pressed
        return 0;
    case WM_LBUTTONUP:
        LeftUp(*form, lp);
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
    return DefWindowProcA(hwnd, msg, wp, lp);
}
