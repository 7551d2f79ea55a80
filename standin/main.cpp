// standin.exe: a stand-in for the client, with its window tree, its reactions
// to the messages the idler sends, and a log of everything that reaches it.
#include "system/fallbacks.h"
#include "standin/client.h"

namespace {

using namespace standin;

void ReportError(const std::string& text) {
    const std::string bytes = "standin: " + text + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

// Back to front: Welcome windows, rooms, decoys, an IM window; the last one
// created is the front-most document window.
bool BuildWindows(Client& client) {
    if (!CreateFrame(client)) return false;
    const Options& o = client.options;
    if (o.welcomes.empty()) {
        CreateWelcome(client, "Welcome, " + o.name + "!");
    } else {
        for (const std::string& caption : o.welcomes) CreateWelcome(client, caption);
    }
    for (int i = 1; i <= o.rooms; ++i) CreateRoom(client, "Lobby " + std::to_string(i));
    for (Decoy decoy : o.decoys) CreateDecoy(client, decoy);
    if (o.imOpen) OpenImWindow(client, o.imOpenTo);
    ShowWindow(client.frame, SW_SHOWNORMAL);
    UpdateWindow(client.frame);
    if (o.boxOpen) ShowBox(client, client.imsOn);
    return true;
}

void StartTimers(Client& client) {
    const Options& o = client.options;
    SetFrameTimer(client, kIdleTimer, o.idleAfter);
    if (o.hangFor > 0 && o.hangOnLine == 0) SetFrameTimer(client, kHangTimer, o.hangAt);
    SetFrameTimer(client, kQuitTimer, o.quitAfter);
}

int RunMessageLoop(Client& client) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Keys for the message box go through its dialog handling.
        HWND root = msg.hwnd ? RootWindow(msg.hwnd) : nullptr;
        if (root && ClassOf(root) == kBoxClass && IsDialogMessageA(root, &msg)) continue;
        if (TranslateMDISysAccel(client.mdi, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const ParseResult parsed = ParseOptions(CommandLineArguments(GetCommandLineA()));
    if (!parsed.error.empty()) {
        ReportError(parsed.error + "\n" + Usage());
        return 2;
    }
    Client client;
    client.options = parsed.options;
    client.instance = instance;
    if (!client.options.log.empty() && !OpenLog(client.log, client.options.log)) {
        ReportError("cannot open the log " + client.options.log);
        return 3;
    }
    if (!RegisterControls(instance) || !RegisterDocuments(instance) || !RegisterPrompts(instance) ||
        !RegisterFrame(instance) || !BuildWindows(client)) {
        ReportError("cannot create the client's windows");
        return 4;
    }
    WriteEvent(client.log, "ready",
               {Handle("frame", client.frame), Text("name", Cp1252ToUtf8(client.options.name)),
                Number("rooms", client.options.rooms)});
    StartTimers(client);
    return RunMessageLoop(client);
}
