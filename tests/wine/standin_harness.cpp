#include "tests/wine/standin_harness.h"

namespace standin_harness {
namespace {

// First start of a program in a fresh Wine session can take seconds.
constexpr DWORD kReadyMs = 30000;
constexpr DWORD kCloseMs = 5000;

std::wstring Beside(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring here(path, length);
    return here.substr(0, here.find_last_of(L"\\/") + 1) + name;
}

std::filesystem::path NewLogPath() {
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    if (!GetTempFileNameW(folder, L"sti", 0, file)) return {};
    return file;
}

} // namespace

Standin::~Standin() {
    if (process.hProcess) {
        if (frame) PostMessageA(frame, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, frame ? kCloseMs : 0) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, kCloseMs);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    std::error_code ignored;
    if (!log.empty()) std::filesystem::remove(log, ignored);
}

bool Standin::Exited(DWORD timeoutMs) const {
    return WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Standin::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

std::unique_ptr<Standin> Start(const std::wstring& options, bool waitReady) {
    auto standin = std::make_unique<Standin>();
    standin->log = NewLogPath();
    if (standin->log.empty()) return nullptr;
    const std::wstring exe = Beside(L"standin.exe");
    std::wstring command =
        L"\"" + exe + L"\" " + options + L" \"--log=" + standin->log.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &standin->process)) {
        return nullptr;
    }
    if (!waitReady) return standin;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kReadyMs) {
        for (const auto& event : standin->Events()) {
            if (event.Name() == "ready") {
                standin->frame = WindowOf(event, "frame");
                return standin;
            }
        }
        if (standin->Exited(20)) return nullptr;
    }
    return nullptr;
}

HWND WindowOf(const standin_log::Event& event, const char* key) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(event.Number(key)));
}

} // namespace standin_harness
