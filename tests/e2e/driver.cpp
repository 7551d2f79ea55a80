#include "tests/e2e/driver.h"
#include <algorithm>
#include <cstdlib>

namespace driver {

// ---- processes -------------------------------------------------------------

Process::Process(Process&& other) noexcept : handle_(other.handle_), pid_(other.pid_) {
    other.handle_ = nullptr;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        handle_ = other.handle_;
        pid_ = other.pid_;
        other.handle_ = nullptr;
    }
    return *this;
}

Process::~Process() {
    Kill();
}

bool Process::Running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(DWORD timeoutMs) const {
    return !handle_ || WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

void Process::Kill() {
    if (!handle_) return;
    if (Running()) {
        TerminateProcess(handle_, 9);
        WaitForSingleObject(handle_, 5000);
    }
    CloseHandle(handle_);
    handle_ = nullptr;
}

std::wstring Here() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

Process Start(const std::wstring& exeName, const std::wstring& arguments) {
    std::wstring exe = exeName.find(L'\\') == std::wstring::npos ? Here() + exeName : exeName;
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return {};
    CloseHandle(pi.hThread);
    return Process(pi.hProcess, pi.dwProcessId);
}

bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= timeoutMs) return false; // wraps correctly
        Sleep(20);
    }
}

// ---- windows ---------------------------------------------------------------

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindForm(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    wchar_t cls[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && GetClassNameW(hwnd, cls, 64) && lstrcmpW(cls, L"IdlerForm1") == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindIdler(DWORD pid, DWORD timeoutMs) {
    Search search{pid, nullptr};
    WaitFor(
        [&] {
            EnumWindows(FindForm, reinterpret_cast<LPARAM>(&search));
            return search.found && IsWindowVisible(search.found);
        },
        timeoutMs);
    return search.found;
}

HWND FindTop(const wchar_t* cls, const wchar_t* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowW(cls, caption)) != nullptr; }, timeoutMs);
    return found;
}

// ---- mouse and keyboard ----------------------------------------------------

POINT ToScreen(HWND form, int xTwips, int yTwips) {
    POINT p{xTwips / 15, yTwips / 15};
    ClientToScreen(form, &p);
    return p;
}

namespace {

void SendMouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.dx = x;
    in.mi.dy = y;
    SendInput(1, &in, sizeof in);
}

DWORD DownFlag(Button b) {
    return b == Button::Left    ? MOUSEEVENTF_LEFTDOWN
           : b == Button::Right ? MOUSEEVENTF_RIGHTDOWN
                                : MOUSEEVENTF_MIDDLEDOWN;
}

DWORD UpFlag(Button b) {
    return b == Button::Left    ? MOUSEEVENTF_LEFTUP
           : b == Button::Right ? MOUSEEVENTF_RIGHTUP
                                : MOUSEEVENTF_MIDDLEUP;
}

// Lets the target's thread take in what was sent before the next input.
void Settle() {
    Sleep(60);
}

// Where and when the last left press went, so that a click near it waits out
// the double-click time.
POINT lastPressAt{-100, -100};
DWORD lastPressTime = 0;

void PressLeft() {
    GetCursorPos(&lastPressAt);
    lastPressTime = GetTickCount();
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle();
}

} // namespace

void MoveMouse(POINT screen) {
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MulDiv(screen.x, 65535, w),
              MulDiv(screen.y, 65535, h));
    Settle();
}

bool ParkPointer() {
    const POINT corner{GetSystemMetrics(SM_CXSCREEN) - 10, GetSystemMetrics(SM_CYSCREEN) - 10};
    MoveMouse(corner);
    return WaitFor(
        [&] {
            POINT at{};
            GetCursorPos(&at);
            return at.x == corner.x && at.y == corner.y;
        },
        3000);
}

void Press(Button button) {
    if (button != Button::Left) return SendMouse(DownFlag(button)), Settle();
    POINT at{};
    GetCursorPos(&at);
    if (std::abs(at.x - lastPressAt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(at.y - lastPressAt.y) <= GetSystemMetrics(SM_CYDOUBLECLK))
        while (GetTickCount() - lastPressTime <= GetDoubleClickTime() + 50) Sleep(10);
    PressLeft();
}

void Release(Button button) {
    SendMouse(UpFlag(button));
    Settle();
}

void Click(HWND form, int xTwips, int yTwips, Button button) {
    MoveMouse(ToScreen(form, xTwips, yTwips));
    Press(button);
    Release(button);
}

void DoubleClick(HWND form, int xTwips, int yTwips) {
    MoveMouse(ToScreen(form, xTwips, yTwips));
    Press(Button::Left);
    Release(Button::Left);
    PressLeft();
    Release(Button::Left);
}

void Drag(HWND form, int xTwips, int yTwips, int dx, int dy, Button button) {
    POINT p = ToScreen(form, xTwips, yTwips);
    MoveMouse(p);
    Press(button);
    const int steps = 5;
    for (int i = 1; i <= steps; ++i) MoveMouse({p.x + dx * i / steps, p.y + dy * i / steps});
    Release(button);
}

void Key(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Settle();
}

void KeyWith(WORD modifier, WORD vk) {
    INPUT in[4]{};
    for (INPUT& i : in) i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[3].ki.wVk = modifier;
    in[1].ki.wVk = in[2].ki.wVk = vk;
    in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof in[0]);
    Settle();
}

// ---- the pop-up menu -------------------------------------------------------

HWND OpenMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

bool ChooseMenu(HWND form, const std::wstring& keys) {
    Click(form, 2520 + 300, 120); // the middle of "Options"
    if (!WaitFor([] { return OpenMenu() != nullptr; }, 5000)) return false;
    for (wchar_t key : keys) {
        switch (key) {
        case kDown:
            Key(VK_DOWN);
            break;
        case kUp:
            Key(VK_UP);
            break;
        case kRight:
            Key(VK_RIGHT);
            break;
        case kEnter:
            Key(VK_RETURN);
            break;
        default:
            Key(static_cast<WORD>(towupper(key)));
        }
    }
    return true;
}

// ---- message boxes ---------------------------------------------------------

// Found once it shows: a box not shown yet may not be placed either, and a
// press meant for its button would land elsewhere.
HWND FindMessageBox(const wchar_t* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowW(L"#32770", title)) && IsWindowVisible(found); },
            timeoutMs);
    return found;
}

std::wstring MessageBoxPrompt(HWND box) {
    // The prompt is the box's static control with id 0xFFFF.
    return ReadText(GetDlgItem(box, 0xFFFF));
}

void PressButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    RECT r;
    GetWindowRect(button, &r);
    MoveMouse({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    Press(Button::Left);
    Release(Button::Left);
}

// ---- fields ----------------------------------------------------------------

HWND ControlAt(HWND form, int xTwips, int yTwips) {
    POINT p = ToScreen(form, xTwips, yTwips);
    HWND picture = GetWindow(form, GW_CHILD);
    ScreenToClient(picture, &p);
    HWND child = ChildWindowFromPointEx(picture, p, CWP_SKIPINVISIBLE);
    return child == picture ? nullptr : child;
}

// Points inside each field (its top-left plus a few pixels).
HWND Text1(HWND form) {
    return ControlAt(form, 3720 + 60, 840 + 60);
}
HWND Text2(HWND form) {
    return ControlAt(form, 1080 + 60, 1320 + 60);
}
HWND Text3(HWND form) {
    return ControlAt(form, 1080 + 60, 840 + 60);
}
HWND Text4(HWND form) {
    return ControlAt(form, 1080 + 60, 360 + 60);
}
HWND Check1(HWND form) {
    return ControlAt(form, 3600 + 60, 360 + 60);
}

std::wstring ReadText(HWND control) {
    wchar_t buffer[4096];
    LRESULT n = SendMessageW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<size_t>(std::max<LRESULT>(n, 0)));
}

int ReadCheck(HWND checkBox) {
    return static_cast<int>(SendMessageW(checkBox, BM_GETCHECK, 0, 0));
}

void TypeText(HWND control, const std::wstring& text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Tick(HWND form, UINT_PTR timerId) {
    PostMessageW(form, WM_TIMER, timerId, 0);
}

std::optional<bool> StopTimerInside(HWND form, UINT_PTR timerId) {
    const UINT probe = RegisterWindowMessageW(L"idler-e2e-stop-timer");
    HMODULE dll = LoadLibraryW((Here() + L"timer_probe.dll").c_str());
    auto hook =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "StopTimerHook")));
    const DWORD thread = GetWindowThreadProcessId(form, nullptr);
    HHOOK hooked = hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, dll, thread) : nullptr;
    std::optional<bool> answer;
    if (hooked) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // this thread's queue, for the reply
        PostMessageW(form, probe, timerId, static_cast<LPARAM>(GetCurrentThreadId()));
        WaitFor(
            [&] {
                if (!PeekMessageW(&msg, reinterpret_cast<HWND>(-1), probe, probe, PM_REMOVE))
                    return false;
                answer = msg.wParam != 0;
                return true;
            },
            5000);
        UnhookWindowsHookEx(hooked);
    }
    if (dll) FreeLibrary(dll);
    return answer;
}

// ---- pictures --------------------------------------------------------------

std::vector<COLORREF> Grab(RECT r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<COLORREF> pixels(static_cast<size_t>(w) * h);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* src = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = src[i] & 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool SaveBmp(const std::wstring& path, const std::vector<COLORREF>& pixels, int w) {
    const int h = w > 0 ? static_cast<int>(pixels.size() / w) : 0;
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h; // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * h);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            const COLORREF c = pixels[static_cast<size_t>(y) * w + x]; // 0x00RRGGBB
            row[x * 3] = static_cast<char>(c & 0xFF);
            row[x * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
        bytes += row;
    }
    return WriteFileBytes(path, bytes);
}

std::vector<COLORREF> LoadPicture(const wchar_t* name, int& w, int& h) {
    std::wstring path = std::wstring(IDLER_SOURCE) + L"/window/assets/" + name;
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bmp) return {};
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    w = info.bmWidth;
    h = info.bmHeight;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<COLORREF> pixels(static_cast<size_t>(w) * h);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bmp, 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bmp);
    for (auto& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

std::vector<COLORREF> Crop(const std::vector<COLORREF>& pixels, int width, RECT r) {
    std::vector<COLORREF> out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.push_back(pixels[static_cast<size_t>(y) * width + x]);
    return out;
}

std::vector<COLORREF> OnScreen(HWND window, RECT r) {
    POINT o{0, 0};
    ClientToScreen(window, &o);
    return Grab({o.x + r.left, o.y + r.top, o.x + r.right, o.y + r.bottom});
}

std::optional<std::string> DataFileBytes() {
    HANDLE file =
        CreateFileW(kDataFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    std::vector<char> chunk(1 << 20);
    DWORD got = 0;
    while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got)
        bytes.append(chunk.data(), got);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(out);
    return ok && written == bytes.size();
}

std::vector<std::wstring> FilesBeside(const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(L"c:\\windows\\") + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

struct BoxSearch {
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK AddBox(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<BoxSearch*>(lp);
    DWORD owner = 0;
    wchar_t cls[16] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameW(window, cls, 16);
    if (owner == search->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(window))
        search->boxes.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> BoxesOf(DWORD pid) {
    BoxSearch search{pid, {}};
    EnumWindows(AddBox, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}

} // namespace driver
