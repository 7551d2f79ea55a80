// The client's document windows ("AOL Child" in the MDI area): the Welcome
// window, chat rooms, look-alike decoys and the "Send Instant Message" window.
#include "standin/client.h"
#include <algorithm>
#include <iterator>

namespace standin {
namespace {

constexpr const char* kImIconCaptions[] = {"Aa",    "B",     "I",    "U",           "Link",
                                           "Smile", "Color", "Font", "Send",        "Available?",
                                           "Block", "Info",  "Away", "Ignore",      "Notify",
                                           "Print", "Save",  "Help", "Preferences", "Close"};

Document KindOf(HWND window) {
    return static_cast<Document>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The nearest document window at or above a control.
HWND DocumentOf(HWND control) {
    HWND w = control;
    while (w && ClassOf(w) != kChildClass) w = GetParent(w);
    return w;
}

void Place(HWND parent, int id, int x, int y, int width, int height) {
    if (HWND control = GetDlgItem(parent, id)) {
        MoveWindow(control, x, y, std::max(width, 1), std::max(height, 1), TRUE);
    }
}

// The room's five controls: lines on the left above the input box and its
// Send icon, the people in the room on the right under their count.
void LayoutRoom(HWND room, int width, int height) {
    const int side = 150, bottom = 64;
    Place(room, kRoomView, 4, 4, width - side - 8, height - bottom - 8);
    Place(room, kRoomInput, 4, height - bottom, width - side - 70, bottom - 4);
    Place(room, kRoomSend, width - side - 62, height - bottom, 58, bottom - 4);
    Place(room, kRoomCount, width - side, 4, side - 4, 22);
    Place(room, kRoomPeople, width - side, 30, side - 4, height - 34);
    Place(room, kRoomGroup, 0, 0, width, height);
}

// Says the input box's line in its room: the view shows it after the screen
// name, and the log gets its bytes. An empty box sends nothing. The line that
// --hang-on-line names is said, then the client hangs inside its Enter.
void SendChatLine(HWND input) {
    const std::string line = ControlBytes(input);
    if (line.empty()) return;
    HWND view = FindWindowExA(GetParent(input), nullptr, kRichClass, nullptr);
    Client* client = ClientOf(input);
    if (view != input && client) AppendLine(view, client->options.name, line);
    HWND room = DocumentOf(input);
    std::vector<Field> fields{Text("room", Cp1252ToUtf8(WindowText(room))), Handle("hwnd", room)};
    for (Field& f : Bytes(line)) fields.push_back(std::move(f));
    Log(input, "chat", fields);
    ClearControl(input);
    if (client && ++client->linesSaid == client->options.hangOnLine) Hang(*client);
}

// Screen names compare without regard to ASCII case.
bool SameName(const std::string& a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// Send: the message goes out. A message to $IM_OFF or $IM_ON switches the
// user's IMs and the client answers with its box, leaving this window open;
// any other message just goes, and the window closes.
void SendIm(HWND im) {
    Client* client = ClientOf(im);
    if (!client) return;
    const std::string to = ControlBytes(GetDlgItem(im, kImTo));
    std::vector<Field> fields{Text("to", Cp1252ToUtf8(to))};
    for (Field& f : Bytes(ControlBytes(GetDlgItem(im, kImText)))) fields.push_back(std::move(f));
    Log(im, "im", fields);
    if (client->options.notify) {
        SendMessageA(reinterpret_cast<HWND>(static_cast<UINT_PTR>(client->options.notify)),
                     WM_ACTIVATEAPP, FALSE, 0);
    }
    const bool off = SameName(to, "$IM_OFF"), on = SameName(to, "$IM_ON");
    if (off || on) {
        client->imsOn = on;
        Log(im, "ims", {Flag("on", on)});
        if (!client->options.noBox) {
            AnswerWithBox(*client, on);
            return;
        }
    }
    if (client->options.sendOnDown) {
        SendMessageA(im, WM_CLOSE, 0, 0); // gone before the button comes up
        return;
    }
    PostMessageA(im, WM_CLOSE, 0, 0);
}

void DocumentCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    switch (KindOf(window)) {
    case Document::Room:
    case Document::Decoy:
        if (code == kEnterPressed && id == kRoomInput) SendChatLine(control);
        if (code == BN_CLICKED && id == kRoomSend) {
            SendChatLine(GetDlgItem(GetParent(control), kRoomInput));
        }
        break;
    case Document::Im:
        if (code == BN_CLICKED && id == kImIconFirst + 8) SendIm(window);
        break;
    case Document::Welcome:
        break;
    }
}

LRESULT CALLBACK DocumentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const auto* mdi = reinterpret_cast<const MDICREATESTRUCTA*>(create->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, mdi->lParam);
        break;
    }
    case WM_SIZE:
        if (KindOf(window) == Document::Room || KindOf(window) == Document::Decoy) {
            LayoutRoom(window, LOWORD(lParam), HIWORD(lParam));
        }
        break;
    case WM_COMMAND:
        DocumentCommand(window, wParam, lParam);
        return 0;
    case WM_DESTROY:
        LogClosed(window);
        break;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

HWND CreateDocument(Client& client, const std::string& caption, Document kind, int width,
                    int height) {
    MDICREATESTRUCTA create{};
    create.szClass = kChildClass;
    create.szTitle = caption.c_str();
    create.hOwner = client.instance;
    create.x = CW_USEDEFAULT;
    create.y = CW_USEDEFAULT;
    create.cx = width;
    create.cy = height;
    create.lParam = static_cast<LPARAM>(kind);
    return reinterpret_cast<HWND>(
        SendMessageA(client.mdi, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

// The room's controls in the order the client creates them: its lines, the
// input box, the people, the Send icon, the count. missing leaves one class
// out; single keeps one "RICHCNTL" only.
void AddRoomControls(HWND parent, const Client& client, const char* missing, bool single = false) {
    const std::string people = client.options.name + "\nGuest 4821\nGuest 1177";
    auto add = [&](const char* cls, const char* text, int id, DWORD style = 0, DWORD exStyle = 0) {
        if (cls != missing) AddControl(parent, cls, text, id, 0, 0, 10, 10, style, exStyle);
    };
    add(kRichClass, "", kRoomView, kRichView | WS_VSCROLL, WS_EX_CLIENTEDGE);
    if (!single) add(kRichClass, "", kRoomInput);
    add(kListboxClass, people.c_str(), kRoomPeople);
    add(kIconClass, "Send", kRoomSend);
    add(kStaticClass, "3 people here", kRoomCount);
}

void Finish(HWND document) {
    RECT area{};
    GetClientRect(document, &area);
    SendMessageA(document, WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.right, area.bottom));
    LogOpened(document);
}

} // namespace

bool RegisterDocuments(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DocumentProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kChildClass;
    return RegisterClassA(&wc) != 0;
}

HWND CreateWelcome(Client& client, const std::string& caption) {
    HWND welcome = CreateDocument(client, caption, Document::Welcome, 420, 240);
    if (!welcome) return nullptr;
    AddControl(welcome, kStaticClass, "You are signed on.", kWelcomeText, 10, 10, 390, 40);
    const char* icons[] = {"Mail Center", "People", "Channels"};
    for (int i = 0; i < 3; ++i) {
        AddControl(welcome, kIconClass, icons[i], kWelcomeIconFirst + i, 10 + i * 130, 70, 120, 40);
    }
    LogOpened(welcome);
    return welcome;
}

HWND CreateRoom(Client& client, const std::string& caption) {
    HWND room = CreateDocument(client, caption, Document::Room, 560, 360);
    if (!room) return nullptr;
    AddRoomControls(room, client, nullptr);
    Finish(room);
    return room;
}

HWND CreateDecoy(Client& client, Decoy decoy) {
    static const struct {
        Decoy decoy;
        const char* missing;
        const char* caption;
    } kDecoys[] = {{Decoy::NoRichcntl, kRichClass, "Decoy without RICHCNTL"},
                   {Decoy::NoListbox, kListboxClass, "Decoy without _AOL_Listbox"},
                   {Decoy::NoIcon, kIconClass, "Decoy without _AOL_Icon"},
                   {Decoy::NoStatic, kStaticClass, "Decoy without _AOL_Static"},
                   {Decoy::Grandchildren, nullptr, "Decoy with grandchildren"},
                   {Decoy::OneRichcntl, nullptr, "Room with one RICHCNTL"}};
    const auto* d = std::find_if(std::begin(kDecoys), std::end(kDecoys),
                                 [&](const auto& k) { return k.decoy == decoy; });
    if (d == std::end(kDecoys)) return nullptr;
    HWND window = CreateDocument(client, d->caption, Document::Decoy, 560, 360);
    if (!window) return nullptr;
    if (decoy == Decoy::Grandchildren) {
        HWND group = AddControl(window, kGroupClass, "", kRoomGroup, 0, 0, 540, 320);
        AddRoomControls(group, client, nullptr);
        LayoutRoom(group, 540, 320);
    } else {
        AddRoomControls(window, client, d->missing, decoy == Decoy::OneRichcntl);
    }
    Finish(window);
    return window;
}

HWND OpenImWindow(Client& client, const std::string& to) {
    HWND im = CreateDocument(client, kImCaption, Document::Im, 440, 280);
    if (!im) return nullptr;
    AddControl(im, kStaticClass, "To:", kImToLabel, 10, 12, 30, 20);
    AddControl(im, kEditClass, to.c_str(), kImTo, 44, 8, 370, 24);
    AddControl(im, kRichClass, "", kImText, 10, 80, 404, 110);
    const int icons = std::min<int>(client.options.imIcons, std::size(kImIconCaptions));
    for (int i = 0; i < icons; ++i) {
        // Formatting icons in a row above the text, the rest below it.
        const bool top = i < 8;
        AddControl(im, kIconClass, kImIconCaptions[i], kImIconFirst + i,
                   top ? 10 + i * 50 : 10 + (i - 8) * 70, top ? 40 : 198, top ? 46 : 66, 32);
    }
    LogOpened(im);
    return im;
}

void CloseDocuments(Client& client) {
    while (HWND document = FindWindowExA(client.mdi, nullptr, kChildClass, nullptr)) {
        SendMessageA(client.mdi, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        if (IsWindow(document)) break; // refused to close: do not spin
    }
}

} // namespace standin
