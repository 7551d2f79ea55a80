// The client's controls: text boxes ("RICHCNTL", "_AOL_Edit"), icons, static
// texts, people lists and groups. Simple custom controls, registered ANSI.
#include "standin/client.h"
#include "standin/room_view.h"
#include <algorithm>

namespace standin {
namespace {

// What a text box holds: its bytes exactly as received, and for the room's
// view the lines said in the room.
struct TextBox {
    std::string text;
    RoomView view;
};

// Only the text boxes keep a TextBox in their user data.
TextBox* TextBoxOf(HWND box) {
    const std::string cls = ClassOf(box);
    if (cls != kRichClass && cls != kEditClass) return nullptr;
    return reinterpret_cast<TextBox*>(GetWindowLongPtrA(box, GWLP_USERDATA));
}

// BeginPaint/EndPaint with the dialog font selected.
struct Painter {
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
    HGDIOBJ oldFont;

    explicit Painter(HWND w)
        : window(w), dc(BeginPaint(w, &paint)),
          oldFont(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT))) {
        SetBkMode(dc, TRANSPARENT);
    }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    ~Painter() {
        SelectObject(dc, oldFont);
        EndPaint(window, &paint);
    }
};

RECT ClientArea(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    return area;
}

void DrawBytes(HDC dc, const std::string& text, RECT area, UINT format) {
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, format | DT_NOPREFIX);
}

bool IsRoomView(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & kRichView) != 0;
}

void PaintTextBox(HWND window) {
    Painter p(window);
    TextBox* box = TextBoxOf(window);
    if (box && IsRoomView(window)) {
        PaintRoomView(window, p.dc, box->view);
        return;
    }
    RECT area = ClientArea(window);
    FillRect(p.dc, &area, GetSysColorBrush(COLOR_WINDOW));
    DrawEdge(p.dc, &area, EDGE_SUNKEN, BF_RECT);
    if (!box) return;
    InflateRect(&area, -4, -3);
    DrawBytes(p.dc, box->text + (GetFocus() == window ? "|" : ""), area,
              DT_WORDBREAK | DT_EDITCONTROL);
}

// The client takes character 13 as "send"; other characters are typed.
LRESULT TextBoxChar(HWND window, TextBox& box, WPARAM code) {
    Log(window, "char",
        {Text("target", TargetName(window)), Handle("hwnd", window),
         Number("code", static_cast<long long>(code))});
    if (code == 13) {
        // The parent may replace this box's text; nothing here runs after it.
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), kEnterPressed),
                     reinterpret_cast<LPARAM>(window));
        return 0;
    }
    if (code == 8) {
        if (!box.text.empty()) box.text.pop_back();
    } else if (code >= 32 && code < 256) {
        box.text += static_cast<char>(code);
    }
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

LRESULT TextBoxSetText(HWND window, TextBox& box, LPARAM lParam) {
    const char* bytes = reinterpret_cast<const char*>(lParam);
    box.text = bytes ? bytes : "";
    std::vector<Field> fields{Text("target", TargetName(window)), Handle("hwnd", window)};
    for (Field& f : Bytes(box.text)) fields.push_back(std::move(f));
    Log(window, "settext", fields);
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

LRESULT TextBoxGetText(const TextBox& box, WPARAM size, LPARAM lParam) {
    char* out = reinterpret_cast<char*>(lParam);
    if (!out || size == 0) return 0;
    const size_t n = std::min<size_t>(size - 1, box.text.size());
    std::copy_n(box.text.data(), n, out);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CALLBACK TextBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TextBox* box = TextBoxOf(window);
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        box = new TextBox;
        box->text = create->lpszName ? create->lpszName : "";
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
        break;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete box;
        break;
    case WM_SETTEXT:
        if (!box) break;
        DefWindowProcA(window, message, wParam, lParam);
        return TextBoxSetText(window, *box, lParam);
    case WM_GETTEXT:
        if (box) return TextBoxGetText(*box, wParam, lParam);
        break;
    case WM_GETTEXTLENGTH:
        if (box) return static_cast<LRESULT>(box->text.size());
        break;
    case WM_CHAR:
        if (box) return TextBoxChar(window, *box, wParam);
        break;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_SIZE:
        if (box && IsRoomView(window)) ResizeRoomView(window, box->view);
        return 0;
    case WM_VSCROLL:
        if (box && IsRoomView(window)) ScrollRoomView(window, box->view, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        if (box && IsRoomView(window)) {
            WheelRoomView(window, box->view, GET_WHEEL_DELTA_WPARAM(wParam));
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintTextBox(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The icon's click: logged, then told to its parent, which may close the
// icon's window; nothing may run after it.
void IconClicked(HWND window) {
    Log(window, "click", {Text("target", TargetName(window)), Handle("hwnd", window)});
    SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                 reinterpret_cast<LPARAM>(window));
}

// An icon is clicked by a button-down followed by a button-up (or, with
// --send-on-down, by the button-down alone); its user data says whether it
// is held down.
LRESULT CALLBACK IconProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        const Client* client = ClientOf(window);
        if (client && client->options.sendOnDown) {
            IconClicked(window);
            return 0;
        }
        SetWindowLongPtrA(window, GWLP_USERDATA, 1);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_LBUTTONUP:
        if (!GetWindowLongPtrA(window, GWLP_USERDATA)) return 0;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        InvalidateRect(window, nullptr, TRUE);
        IconClicked(window);
        return 0;
    case WM_SETTEXT:
        InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_PAINT: {
        Painter p(window);
        RECT area = ClientArea(window);
        const bool down = GetWindowLongPtrA(window, GWLP_USERDATA) != 0;
        DrawFrameControl(p.dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
        DrawBytes(p.dc, WindowText(window), area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Static texts and the people list show their caption, one line per "\n".
LRESULT CALLBACK CaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT:
        InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_PAINT: {
        Painter p(window);
        RECT area = ClientArea(window);
        const bool list = ClassOf(window) == kListboxClass;
        FillRect(p.dc, &area, GetSysColorBrush(list ? COLOR_WINDOW : COLOR_BTNFACE));
        if (list) DrawEdge(p.dc, &area, EDGE_SUNKEN, BF_RECT);
        InflateRect(&area, -4, -3);
        DrawBytes(p.dc, WindowText(window), area, DT_WORDBREAK);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A group passes its controls' notifications on to the window it sits in.
LRESULT CALLBACK GroupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) return SendMessageA(GetParent(window), message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Register(HINSTANCE instance, const char* name, WNDPROC proc, int background) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(background);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

} // namespace

bool RegisterControls(HINSTANCE instance) {
    return Register(instance, kRichClass, TextBoxProc, COLOR_WINDOW) &&
           Register(instance, kEditClass, TextBoxProc, COLOR_WINDOW) &&
           Register(instance, kIconClass, IconProc, COLOR_BTNFACE) &&
           Register(instance, kStaticClass, CaptionProc, COLOR_BTNFACE) &&
           Register(instance, kListboxClass, CaptionProc, COLOR_WINDOW) &&
           Register(instance, kGroupClass, GroupProc, COLOR_BTNFACE);
}

HWND AddControl(HWND parent, const char* cls, const char* text, int id, int x, int y, int width,
                int height, DWORD style, DWORD exStyle) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                           nullptr);
}

std::string ControlBytes(HWND control) {
    const TextBox* box = TextBoxOf(control);
    return box ? box->text : std::string();
}

void ClearControl(HWND control) {
    if (TextBox* box = TextBoxOf(control)) {
        box->text.clear();
        InvalidateRect(control, nullptr, TRUE);
    }
}

void AppendLine(HWND view, std::string_view name, std::string_view message) {
    TextBox* box = TextBoxOf(view);
    if (box && IsRoomView(view)) AddRoomLine(view, box->view, name, message);
}

} // namespace standin
