// Plays a short session on a headless display for `make demo`: puts idler
// beside the client's window, fills in the reason and the link, presses
// Start, brings a few ticks forward and posts the advert.
// Usage: demo_driver TICKS
#include "tests/e2e/driver.h"
#include <cstdio>
#include <cstdlib>

using namespace driver;

namespace {

// The client's first chat room: a document window with a people list.
HWND ChatRoom() {
    HWND frame = FindWindowW(L"AOL Frame25", nullptr);
    HWND mdi = frame ? FindWindowExW(frame, nullptr, L"MDIClient", nullptr) : nullptr;
    for (HWND doc = nullptr; mdi && (doc = FindWindowExW(mdi, doc, L"AOL Child", nullptr));)
        if (FindWindowExW(doc, nullptr, L"_AOL_Listbox", nullptr)) return doc;
    return nullptr;
}

// Waits until the room has taken the tick's two lines (the pause between them
// ends at the next whole second).
void LetTheTickFinish() {
    Sleep(1200);
}

} // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 3;
    HWND form = FindTop(L"IdlerForm1", nullptr, 30000);
    if (!form) {
        std::fprintf(stderr, "demo: idler's window did not appear\n");
        return 1;
    }
    HWND room = nullptr;
    WaitFor([&] { return (room = ChatRoom()) != nullptr; }, 30000);
    if (room) {
        // Drag idler by its title strip to just right of the chat room.
        RECT r, f;
        GetWindowRect(room, &r);
        GetWindowRect(form, &f);
        // A pointer put back late by a busy program spoils a drag: once more then.
        for (int i = 0; i < 2; ++i) {
            GetWindowRect(form, &f);
            if (f.left == r.right + 8) break;
            Drag(form, 600, 120, r.right + 8 - f.left, r.top - f.top);
        }
    }
    Click(form, 1080 + 600, 360 + 120);
    TypeText(Text4(form), L"out to lunch, back at two");
    TypeText(Text3(form), L"http://www.example.com/lunch");
    TypeText(Text2(form), L"the menu");
    Click(form, 3720 + 400, 1320 + 180); // Start
    for (int i = 0; i < ticks; ++i) {
        Tick(form, 1);
        LetTheTickFinish();
    }
    Click(form, 3240 + 300, 120); // Advertise
    LetTheTickFinish();
    std::printf("demo: %d ticks brought forward, advert posted\n", ticks);
    return 0;
}
