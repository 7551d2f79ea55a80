#pragma once
// Windows a test builds in its own process under the client's class names,
// recording the messages the client routines would send them.
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

namespace client_test {

// Which of WM_SETTEXT, WM_CHAR, WM_LBUTTONDOWN and WM_LBUTTONUP arrived.
struct Recorder {
    HWND hwnd{};
    std::vector<UINT> messages;

    Recorder() = default;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    ~Recorder() {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
};

inline LRESULT CALLBACK RecorderProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* recorder = reinterpret_cast<Recorder*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (recorder && (message == WM_SETTEXT || message == WM_CHAR || message == WM_LBUTTONDOWN ||
                     message == WM_LBUTTONUP)) {
        recorder->messages.push_back(message);
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrA(w, GWLP_USERDATA, 0);
    return DefWindowProcA(w, message, wParam, lParam);
}

// A window of class cls (registered here, in this process) with this
// caption; top-level when parent is null.
inline std::unique_ptr<Recorder> MakeWindow(const char* cls, const char* caption,
                                            HWND parent = nullptr) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc); // a second registration fails harmlessly
    auto recorder = std::make_unique<Recorder>();
    recorder->hwnd = CreateWindowExA(0, cls, caption, parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 50,
                                     parent, nullptr, wc.hInstance, recorder.get());
    return recorder;
}

} // namespace client_test
