#include "client/aolkit_client.h"
#include "client/client_windows.h"
#include "client/send.h"
#include "system/fallbacks.h"
#include "system/message_pump.h"
#include <algorithm>
#include <vector>

namespace {

using namespace client_windows;

// The client opens its IM window within a second or two of the keyword; ten
// seconds leaves room for a busy machine, yet a missing client costs the user
// no more than that.
constexpr DWORD kWindowLimitMs = 10000;
// The answer to $IM_OFF/$IM_ON comes from the service, over a modem perhaps.
constexpr DWORD kAnswerLimitMs = 20000;
// The client's windows changing does not wake our queue: look again this often.
constexpr DWORD kLookAgainMs = 50;
// A box that has no button yet may still be being built, control by control.
constexpr DWORD kButtonGraceMs = 1000;
// The client closes the IM window we closed within a pass of its queue.
constexpr DWORD kCloseGraceMs = 1000;

HWND ImWindow(HWND mdi) {
    return mdi ? FindWindowExA(mdi, nullptr, kDocument, "Send Instant Message") : nullptr;
}

// Passes until done() holds or limitMs passes: each pass dispatches the
// program's pending events, then looks; between passes it blocks until an
// event comes or kLookAgainMs goes by. A quitting program stops waiting.
template <typename Done> bool WaitUntil(DWORD limitMs, Done&& done) {
    const DWORD start = GetTickCount();
    for (;;) {
        const bool quitting = DispatchPending();
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (quitting || elapsed >= limitMs) return false;
        WaitForInput(std::min(kLookAgainMs, limitMs - elapsed));
    }
}

// The client's "America Online" boxes, front to back.
std::vector<HWND> AnswerBoxes() {
    std::vector<HWND> boxes;
    for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", "America Online"));) {
        boxes.push_back(box);
    }
    return boxes;
}

// The first box that was not open before Send: one that was is the answer to
// an earlier message, already sent its key press and about to close.
HWND NewAnswerBox(const std::vector<HWND>& earlier) {
    for (HWND box : AnswerBoxes()) {
        if (std::find(earlier.begin(), earlier.end(), box) == earlier.end()) return box;
    }
    return nullptr;
}

void PostSpaceKey(HWND button) {
    if (!button) return;
    Post(button, WM_KEYDOWN, VK_SPACE, 0);
    Post(button, WM_KEYUP, VK_SPACE, 0);
}

} // namespace

namespace AolKit {

void Keyword(const std::wstring& keyword) {
    HWND box = ClientFrame();
    for (const char* cls : {"AOL Toolbar", "_AOL_Toolbar", "_AOL_Combobox", "Edit"}) {
        box = FirstChild(box, cls);
    }
    TypeInto(box, keyword, " \r");
}

bool InstantMessage(const std::wstring& screenName, const std::wstring& text) {
    HWND mdi = MdiArea(ClientFrame());
    Keyword(L"aol://9293:" + screenName);

    // A window found may close before the message reaches it (a switch
    // chosen inside this wait may have used it and the client closed it):
    // then nothing went, so look again for the time that is left.
    const DWORD start = GetTickCount();
    const std::string bytes = ToAnsi(text);
    std::vector<HWND> earlier;
    for (;;) {
        HWND textBox = nullptr, send = nullptr;
        const DWORD elapsed = std::min(GetTickCount() - start, kWindowLimitMs);
        const bool ready = WaitUntil(kWindowLimitMs - elapsed, [&] {
            HWND im = ImWindow(mdi);
            textBox = FirstChild(im, kRichText);
            send = NthChild(im, kIcon, 9);
            return im && textBox && send;
        });
        if (!ready) return false;

        earlier = AnswerBoxes();
        // The message went once the press reached Send (a client may act on
        // the press and close the window before the release); the text or
        // the press not reaching the window means it closed first.
        if (Deliver(textBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str())) && Click(send))
            break;
    }

    // The client's box wins over the IM window; the window gone means the
    // client took the message without a box. Neither within the bound: the
    // client never took it, and the window is left to the user.
    HWND seen = nullptr, closed = nullptr;
    DWORD seenAt = 0;
    const bool answered = WaitUntil(kAnswerLimitMs, [&] {
        HWND box = NewAnswerBox(earlier);
        HWND im = ImWindow(mdi);
        if (!box) return im == nullptr;
        HWND button = FirstChild(box, "Button");
        if (!button) {
            if (box != seen) {
                seen = box;
                seenAt = GetTickCount();
            }
            if (GetTickCount() - seenAt < kButtonGraceMs) return false;
        }
        PostSpaceKey(button);
        Post(im, WM_CLOSE, 0, 0);
        closed = im;
        return true;
    });
    // The window we closed is gone before we return: a switch waiting around
    // this one would otherwise take it for ready and lose its message in it.
    if (closed) WaitUntil(kCloseGraceMs, [&] { return !IsWindow(closed); });
    return answered;
}

} // namespace AolKit
