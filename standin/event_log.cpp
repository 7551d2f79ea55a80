#include "system/fallbacks.h"
#include "standin/client.h"
#include <algorithm>

namespace standin {

bool OpenLog(EventLog& log, const std::string& path) {
    // Shared for reading, writing and deleting: tests read the log while the
    // client runs and remove it afterwards. Windows 95, 98 and ME know no
    // FILE_SHARE_DELETE and refuse the call that asks for it.
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    for (DWORD share : {all, all & ~DWORD(FILE_SHARE_DELETE)}) {
        log.file = CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log.file != INVALID_HANDLE_VALUE) break;
    }
    QueryPerformanceFrequency(&log.frequency);
    QueryPerformanceCounter(&log.start);
    return log.file != INVALID_HANDLE_VALUE;
}

void WriteEvent(EventLog& log, std::string_view event, const std::vector<Field>& fields) {
    if (log.file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double seconds = log.frequency.QuadPart
                               ? double(now.QuadPart - log.start.QuadPart) / log.frequency.QuadPart
                               : 0.0;
    // One WriteFile per line, unbuffered: a reader never sees half an event
    // from an earlier line, only possibly the end of the last one.
    const std::string line = FormatEvent(seconds, event, fields);
    DWORD written = 0;
    WriteFile(log.file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

Client* ClientOf(HWND window) {
    HWND root = RootWindow(window);
    if (root && ClassOf(root) != kFrameClass) root = GetWindow(root, GW_OWNER);
    return root ? reinterpret_cast<Client*>(GetWindowLongPtrA(root, GWLP_USERDATA)) : nullptr;
}

void Log(HWND window, std::string_view event, const std::vector<Field>& fields) {
    if (Client* client = ClientOf(window)) WriteEvent(client->log, event, fields);
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(length + 1, '\0');
    text.resize(std::max(GetWindowTextA(window, text.data(), length + 1), 0));
    return text;
}

std::string ClassOf(HWND window) {
    char name[64];
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

Field Handle(std::string key, HWND window) {
    return Number(std::move(key), static_cast<long long>(reinterpret_cast<UINT_PTR>(window)));
}

std::string TargetName(HWND control) {
    HWND owner = control;
    while (GetParent(owner) && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD) &&
           ClassOf(owner) != kChildClass) {
        owner = GetParent(owner);
    }
    const std::string cls = ClassOf(control);
    int place = 0;
    HWND parent = GetParent(control);
    for (HWND w = nullptr; (w = FindWindowExA(parent, w, cls.c_str(), nullptr));) {
        ++place;
        if (w == control) break;
    }
    return Cp1252ToUtf8(WindowText(owner)) + "/" + cls + "#" + std::to_string(place);
}

void LogOpened(HWND window) {
    Log(window, "opened",
        {Text("class", ClassOf(window)), Text("caption", Cp1252ToUtf8(WindowText(window))),
         Handle("hwnd", window)});
}

void LogClosed(HWND window) {
    Log(window, "closed",
        {Text("class", ClassOf(window)), Text("caption", Cp1252ToUtf8(WindowText(window))),
         Handle("hwnd", window)});
}

} // namespace standin
