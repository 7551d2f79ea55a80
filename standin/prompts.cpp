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
    try {
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
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
    try {
        switch (message) {
        case WM_INITDIALOG:
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
    } catch (...) {
    }
    return FALSE;
}

// An in-memory dialog template: "America Online", one line of text and OK.
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
    t.push_back(2); // items
    for (short v : {0, 0, 200, 70}) t.push_back(static_cast<WORD>(v));
    t.push_back(0); // no menu
    t.push_back(0); // the dialog class
    string(L"America Online");
    item(SS_LEFT, 10, 10, 180, 20, kBoxText, 0x0082, text);
    item(BS_DEFPUSHBUTTON | WS_TABSTOP, 75, 42, 50, 16, IDOK, 0x0080, L"OK");
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
    HWND box = CreateDialogIndirectParamA(client.instance,
                                          reinterpret_cast<LPCDLGTEMPLATEA>(dialog.data()),
                                          client.frame, BoxProc, 0);
    if (box) LogOpened(box);
}

void ClosePrompts() {
    for (HWND prompt : ThreadWindowsOf(kModalClass)) DestroyWindow(prompt);
}

int OpenPrompts() {
    return static_cast<int>(ThreadWindowsOf(kModalClass).size());
}

} // namespace standin
