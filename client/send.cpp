#include "client/send.h"
#include "system/ansi.h"

namespace client_windows {

namespace {

// ASCII, so it goes to the box as it stands: a wide copy would take twice
// the bytes in the program file.
constexpr const char* kRefusedPrompt =
    "idler cannot reach the client: Windows refuses idler's messages to it, because the "
    "client runs with more rights (it was started as administrator).\n\nNothing is posted "
    "and the idle prompt is not answered until the client runs the ordinary way: close it "
    "and start it again without Run as administrator. idler keeps counting and trying every "
    "minute.\n\nidler run as administrator too would reach it, but would use another data "
    "file than the one your saves went to.";

// Windows Vista and later refuse a program's messages to a program that runs
// with more rights (UIPI): the call fails with ERROR_ACCESS_DENIED and nothing
// reaches the client, which would sign the user off while idler looked busy.
// The user is told once a run; the callers go on trying, so a client started
// the ordinary way again is served at once. A missing window fails with
// another error, and a hung one is given up on: neither is told. A window
// destroyed while our message waited for it may fail with the same error
// (Wine's answer), so a refusal counts only while the window still stands.
void TellIfRefused(HWND window) {
    static bool told = false; // the one piece of run state: a box every minute would nag
    if (told || GetLastError() != ERROR_ACCESS_DENIED || !IsWindow(window)) return;
    told = true;
    MessageBoxA(nullptr, kRefusedPrompt, "Client out of reach!",
                MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
}

} // namespace

// Windows takes a thread that has read no message for 5 s as hung, and
// SMTO_ABORTIFHUNG then fails the send at once. A limit a little past those
// 5 s means that one send timed out makes the client count as hung, so every
// later send of the same hang fails at once: one stall per hang, however many
// sends follow. A client that answers within the limit loses nothing.
constexpr UINT kSendLimitMs = 5500;

bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window) return false;
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS); // a failure that sets none is no refusal
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendLimitMs,
                            &result))
        return true;
    TellIfRefused(window);
    return false;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window) return; // a null window would post to our own queue
    SetLastError(ERROR_SUCCESS);
    if (!PostMessageA(window, message, wParam, lParam)) TellIfRefused(window);
}

// Each step only after the one before reached the box: keys after a text
// that did not arrive would send what the box held before, and a carriage
// return after a lost space would send half a keyword.
void TypeInto(HWND box, const std::wstring& text, const char* keys) {
    if (!box) return;
    const std::string bytes = ToAnsi(text);
    if (!Deliver(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()))) return;
    for (const char* key = keys; *key; ++key)
        if (!Deliver(box, WM_CHAR, static_cast<unsigned char>(*key), 0)) return;
}

bool Click(HWND icon) {
    if (!Deliver(icon, WM_LBUTTONDOWN, 0, 0)) return false;
    Deliver(icon, WM_LBUTTONUP, 0, 0);
    return true;
}

} // namespace client_windows
