// The client frame: its toolbar with the keyword box, the MDI area, and the
// clock of the client's moods (idle prompt, sign-off, hang, quit).
#include "standin/client.h"
#include <algorithm>

namespace standin {
namespace {

constexpr int kToolbarHeight = 40;
constexpr int kMdiId = 1;

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The keyword box is the system Edit with this procedure over it: it logs what
// reaches it, and on character 13 the client goes to the keyword it holds
// (the space typed before Enter is not part of the keyword).
LRESULT CALLBACK KeywordBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    Client* client = ClientOf(box);
    if (!client || !client->editProc) return DefWindowProcA(box, message, wParam, lParam);
    if (message == WM_SETTEXT) {
        const char* bytes = reinterpret_cast<const char*>(lParam);
        std::vector<Field> fields{Text("target", TargetName(box)), Handle("hwnd", box)};
        for (Field& f : Bytes(bytes ? bytes : "")) fields.push_back(std::move(f));
        Log(box, "settext", fields);
    } else if (message == WM_CHAR) {
        Log(box, "char",
            {Text("target", TargetName(box)), Handle("hwnd", box),
             Number("code", static_cast<long long>(wParam))});
        if (wParam == 13) {
            const std::string keyword = Trim(WindowText(box));
            CallWindowProcA(client->editProc, box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
            GoToKeyword(*client, keyword);
            return 0;
        }
    }
    return CallWindowProcA(client->editProc, box, message, wParam, lParam);
}

void Layout(const Client& client, int width, int height) {
    HWND toolbar = FindWindowExA(client.frame, nullptr, kToolbarClass, nullptr);
    MoveWindow(toolbar, 0, 0, width, kToolbarHeight, TRUE);
    MoveWindow(client.mdi, 0, kToolbarHeight, width, std::max(height - kToolbarHeight, 1), TRUE);
}

// The first pending IM window opens; the timer is set again for the next.
void OpenNextImWindow(Client& client) {
    if (client.pendingIms.empty()) return;
    const std::string to = client.pendingIms.front().to;
    client.pendingIms.pop_front();
    if (!client.pendingIms.empty()) {
        const LONG left = static_cast<LONG>(client.pendingIms.front().due - GetTickCount());
        SetFrameTimer(client, kImTimer, std::max(left, LONG(USER_TIMER_MINIMUM)) / 1000.0);
    }
    OpenImWindow(client, to);
}

void OnFrameTimer(Client& client, UINT_PTR timer) {
    KillTimer(client.frame, timer);
    switch (timer) {
    case kIdleTimer:
        if (!client.signedOn) break;
        ShowPrompts(client);
        SetFrameTimer(client, kSignOffTimer, client.options.signOffAfter);
        break;
    case kSignOffTimer:
        SignOff(client);
        break;
    case kHangTimer:
        Hang(client);
        break;
    case kQuitTimer:
        DestroyWindow(client.frame);
        break;
    case kImTimer:
        OpenNextImWindow(client);
        break;
    case kBoxTimer:
        ShowBox(client, client.pendingBoxOn);
        break;
    }
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* client = reinterpret_cast<Client*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
    HWND mdi = client ? client->mdi : nullptr;
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_SIZE:
        if (client) Layout(*client, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        if (client) OnFrameTimer(*client, wParam);
        return 0;
    case kShowBox:
        if (client) ShowBox(*client, wParam != 0);
        return 0;
    case kOpenRoom:
        if (client) CreateRoom(*client, "Lobby " + std::to_string(wParam));
        return 0;
    case WM_DESTROY:
        if (client) WriteEvent(client->log, "quit");
        PostQuitMessage(0);
        return 0;
    }
    return DefFrameProcA(frame, mdi, message, wParam, lParam);
}

// "AOL Toolbar" / "_AOL_Toolbar" / "_AOL_Combobox" / "Edit".
void AddToolbar(Client& client, int width) {
    HWND outer = CreateWindowExA(0, kToolbarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, width,
                                 kToolbarHeight, client.frame, nullptr, client.instance, nullptr);
    HWND inner =
        AddControl(outer, kInnerToolbarClass, "", kToolbarInner, 2, 2, 2000, kToolbarHeight - 4);
    HWND combo = AddControl(inner, kComboboxClass, "", kToolbarCombo, 300, 6, 320, 24);
    HWND box = AddControl(combo, "Edit", "", kKeywordBox, 0, 0, 320, 24, ES_AUTOHSCROLL);
    if (box) {
        client.editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeywordBoxProc)));
    }
}

} // namespace

void Hang(Client& client) {
    const DWORD ms = Milliseconds(client.options.hangFor);
    WriteEvent(client.log, "hang", {Number("ms", ms)});
    // Not answering anything, as a client busy elsewhere does.
    Sleep(ms);
    WriteEvent(client.log, "recover");
}

bool RegisterFrame(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    wc.lpszClassName = kFrameClass;
    if (!RegisterClassA(&wc)) return false;
    // The toolbar's containers only hold the keyword box.
    for (const char* cls : {kToolbarClass, kInnerToolbarClass, kComboboxClass}) {
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = cls;
        if (!RegisterClassA(&wc)) return false;
    }
    return true;
}

HWND CreateFrame(Client& client) {
    const int width = 900, height = 680;
    client.frame =
        CreateWindowExA(0, kFrameClass, kFrameCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                        width, height, nullptr, nullptr, client.instance, &client);
    if (!client.frame) return nullptr;
    AddToolbar(client, width);
    CLIENTCREATESTRUCT mdi{nullptr, 50000};
    client.mdi = CreateWindowExA(WS_EX_CLIENTEDGE, "MDIClient", nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                 0, kToolbarHeight, width, height - kToolbarHeight, client.frame,
                                 reinterpret_cast<HMENU>(kMdiId), client.instance, &mdi);
    if (!client.mdi) return nullptr;
    RECT area{};
    GetClientRect(client.frame, &area);
    Layout(client, area.right, area.bottom);
    return client.frame;
}

void GoToKeyword(Client& client, const std::string& keyword) {
    WriteEvent(client.log, "keyword", Bytes(keyword));
    const std::string prefix = kImKeyword;
    if (keyword.compare(0, prefix.size(), prefix) != 0) return;
    const std::string to = keyword.substr(prefix.size());
    if (client.options.imDelay > 0) {
        const DWORD delayMs = Milliseconds(client.options.imDelay);
        client.pendingIms.push_back({to, GetTickCount() + delayMs});
        if (client.pendingIms.size() == 1) SetFrameTimer(client, kImTimer, client.options.imDelay);
    } else {
        OpenImWindow(client, to);
    }
}

// The box comes after Send has been handled (posted, or later with
// --box-delay), never inside the click: the sender is still waiting on it.
void AnswerWithBox(Client& client, bool imsOn) {
    if (client.options.boxDelay > 0) {
        client.pendingBoxOn = imsOn;
        SetFrameTimer(client, kBoxTimer, client.options.boxDelay);
    } else {
        PostMessageA(client.frame, kShowBox, imsOn ? 1 : 0, 0);
    }
}

void PromptAnswered(Client& client) {
    if (OpenPrompts() > 0) return;
    KillTimer(client.frame, kSignOffTimer);
    SetFrameTimer(client, kIdleTimer, client.options.idleAfter);
}

// Signing off closes the prompts and every document window.
void SignOff(Client& client) {
    if (!client.signedOn) return;
    client.signedOn = false;
    KillTimer(client.frame, kIdleTimer);
    KillTimer(client.frame, kSignOffTimer);
    WriteEvent(client.log, "signoff");
    ClosePrompts();
    CloseDocuments(client);
}

DWORD Milliseconds(double seconds) {
    return static_cast<DWORD>(seconds * 1000 + 0.5); // at most a week: no overflow
}

// seconds 0 leaves the timer off, except for the hang, which may start at once.
void SetFrameTimer(Client& client, FrameTimer timer, double seconds) {
    if (seconds <= 0 && timer != kHangTimer) return;
    SetTimer(client.frame, timer, std::max(Milliseconds(seconds), DWORD(USER_TIMER_MINIMUM)),
             nullptr);
}

} // namespace standin
