// The client's top-level answers: the idle prompt ("_AOL_Modal") and the
// "America Online" message box ("#32770") that follows a switch of the IMs.
#include "standin/client.h"

namespace standin {
namespace {

constexpr int kBoxText = 100;

struct WindowSearch {
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (ClassOf(window) == search->cls) search->found.push_back(window);
    return TRUE;
}

// This thread's top-level windows of a class.
std::vector<HWND> ThreadWindowsOf(const char* cls) {
    WindowSearch search{cls, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PromptCommand(HWND prompt, int id) {
    Client* client = ClientOf(prompt);
    if (!client) return;
    if (id == kPromptStay) {
        Log(prompt, "prompt_answered", {Handle("hwnd", prompt), Text("choice", "stay")});
        DestroyWindow(prompt);
        PromptAnswered(*client);
    } else if (id == kPromptSignOff) {
        Log(prompt, "prompt_answered", {Handle("hwnd", prompt), Text("choice", "sign off")});
        SignOff(*client);
    }
}

LRESULT CALLBACK PromptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) PromptCommand(window, LOWORD(wParam));
        return 0;
    case WM_CLOSE: // only its icons answer the prompt
        return 0;
    case WM_DESTROY:
        LogClosed(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

constexpr const char* kSpaceDown = "standin.space";

// The box's OK button under this procedure takes a space key press (down,
// then up) as a click wherever the focus is: the system button drops a key
// press when the focus moves between its two halves, which here depends on
// when the X server's focus events come.
LRESULT CALLBACK BoxButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(button, GWLP_USERDATA));
    if (wParam == VK_SPACE && message == WM_KEYDOWN) {
        SetPropA(button, kSpaceDown, reinterpret_cast<HANDLE>(1));
        return 0;
    }
    if (wParam == VK_SPACE && message == WM_KEYUP) {
        if (RemovePropA(button, kSpaceDown)) {
            SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        }
        return 0;
    }
    if (message == WM_NCDESTROY) RemovePropA(button, kSpaceDown);
    return original ? CallWindowProcA(original, button, message, wParam, lParam)
                    : DefWindowProcA(button, message, wParam, lParam);
}

void AddBoxButton(HWND box) {
    RECT place{75, 42, 125, 58}; // dialog units
    MapDialogRect(box, &place);
    HWND ok = CreateWindowExA(
        0, "Button", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, place.left,
        place.top, place.right - place.left, place.bottom - place.top, box,
        reinterpret_cast<HMENU>(IDOK),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(box, GWLP_HINSTANCE)), nullptr);
    if (!ok) return;
    SetWindowLongPtrA(
        ok, GWLP_USERDATA,
        SetWindowLongPtrA(ok, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxButtonProc)));
    SetFocus(ok);
}

// lParam of WM_INITDIALOG: milliseconds before the box gets its button.
INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (lParam > 0) {
            SetTimer(box, 1, static_cast<UINT>(lParam), nullptr);
        } else {
            AddBoxButton(box);
        }
        return FALSE; // the focus is set already, or comes with the button
    case WM_TIMER:
        KillTimer(box, wParam);
        AddBoxButton(box);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Log(box, "box_answered", {Handle("hwnd", box)});
            DestroyWindow(box);
        }
        return TRUE;
    case WM_DESTROY:
        LogClosed(box);
        return FALSE;
    }
    return FALSE;
}

// An in-memory dialog template: "America Online" and one line of text (the
// OK button is added once the box exists).
// Built of WORDs, items on DWORD boundaries, strings in UTF-16 as templates are.
std::vector<WORD> BoxTemplate(const wchar_t* text) {
    std::vector<WORD> t;
    auto dword = [&](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    auto string = [&](const wchar_t* s) {
        while (*s) t.push_back(static_cast<WORD>(*s++));
        t.push_back(0);
    };
    auto item = [&](DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
                    const wchar_t* title) {
        if (t.size() % 2) t.push_back(0);
        dword(WS_CHILD | WS_VISIBLE | style);
        dword(0);
        for (short v : {x, y, cx, cy}) t.push_back(static_cast<WORD>(v));
        t.push_back(id);
        t.push_back(0xFFFF);
        t.push_back(atom);
        string(title);
        t.push_back(0); // no creation data
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_CENTER);
    dword(0);
    t.push_back(1); // items
    for (short v : {0, 0, 200, 70}) t.push_back(static_cast<WORD>(v));
    t.push_back(0); // no menu
    t.push_back(0); // the dialog class
    string(L"America Online");
    item(SS_LEFT, 10, 10, 180, 20, kBoxText, 0x0082, text);
    return t;
}

} // namespace

bool RegisterPrompts(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PromptProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kModalClass;
    return RegisterClassA(&wc) != 0;
}

void ShowPrompts(Client& client) {
    for (int i = 0; i < client.options.prompts; ++i) {
        HWND prompt = CreateWindowExA(
            WS_EX_DLGMODALFRAME, kModalClass, kFrameCaption, WS_POPUP | WS_CAPTION | WS_VISIBLE,
            200 + 40 * i, 200 + 40 * i, 380, 170, client.frame, nullptr, client.instance, nullptr);
        if (!prompt) continue;
        AddControl(prompt, kStaticClass,
                   "You have been idle for a while.\nDo you want to stay signed on?", kPromptText,
                   10, 10, 350, 50);
        // The decoy prompt keeps its icons one level down, inside a group.
        HWND parent = prompt;
        if (client.options.promptDecoy) {
            parent = AddControl(prompt, kGroupClass, "", kPromptGroup, 0, 70, 370, 60);
        }
        const int top = client.options.promptDecoy ? 10 : 80;
        AddControl(parent, kIconClass, "Stay Signed On", kPromptStay, 20, top, 150, 40);
        AddControl(parent, kIconClass, "Sign Off", kPromptSignOff, 200, top, 150, 40);
        LogOpened(prompt);
    }
}

void ShowBox(Client& client, bool imsOn) {
    const std::vector<WORD> dialog = BoxTemplate(imsOn ? L"Your Instant Messages are now on."
                                                       : L"Your Instant Messages are now off.");
    const auto buttonMs = static_cast<LPARAM>(Milliseconds(client.options.boxButtonAfter));
    HWND box = CreateDialogIndirectParamA(client.instance,
                                          reinterpret_cast<LPCDLGTEMPLATEA>(dialog.data()),
                                          client.frame, BoxProc, buttonMs);
    if (box) LogOpened(box);
}

void ClosePrompts() {
    for (HWND prompt : ThreadWindowsOf(kModalClass)) DestroyWindow(prompt);
}

int OpenPrompts() {
    return static_cast<int>(ThreadWindowsOf(kModalClass).size());
}

} // namespace standin
