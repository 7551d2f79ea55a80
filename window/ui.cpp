#include "window/ui.h"
#include "system/ansi.h"

std::string WindowText(HWND window) {
    constexpr int kTries = 4;
    if (!window) return {};
    std::string text;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const int length = GetWindowTextLengthA(window);
        if (length <= 0) return {};
        text.assign(static_cast<size_t>(length) + 1, '\0');
        const int copied = GetWindowTextA(window, text.data(), length + 1);
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        if (copied < length || GetWindowTextLengthA(window) <= length) break;
    }
    return text;
}

int ShowMessageBox(HWND owner, const std::wstring& prompt, const std::wstring& title, UINT style) {
    return MessageBoxA(owner, ToAnsi(prompt).c_str(), ToAnsi(title).c_str(), style);
}
