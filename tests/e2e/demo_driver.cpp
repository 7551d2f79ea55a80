// Plays a short session on a headless display for `make demo`: puts idler
// beside the client's chat room, fills in the reason and the link, presses
// Start, brings a few ticks forward, posts the advert and saves a picture of
// both windows. Each step waits for what must follow it (lines in the
// stand-in's log, a window's place, pixels on the screen); one that does not
// come fails the demo, so a wrong picture is never kept.
// Usage: demo_driver TICKS LOG PICTURE (the stand-in's log; the .bmp to write)
#include "standin/log_reader.h"
#include "tests/e2e/driver.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace driver;

namespace {

// The picture: the screen's top-left corner, where the client's frame opens.
constexpr RECT kPicture{0, 0, 920, 460};
constexpr int kPictureWidth = kPicture.right - kPicture.left;
// idler's title block (its glyph and name) in client pixels, and where Start
// puts the Stop picture.
constexpr RECT kTitle{0, 0, 60, 16};
constexpr RECT kStop{245, 87, 245 + 62, 87 + 25};

// What the screen must show of idler, from the repository's pictures.
struct Skin {
    std::vector<COLORREF> title, stop;
};

Skin LoadSkin() {
    int w = 0, h = 0;
    Skin skin;
    const std::vector<COLORREF> whole = LoadPicture(L"skin.bmp", w, h);
    if (w >= kTitle.right && h >= kTitle.bottom) skin.title = Crop(whole, w, kTitle);
    skin.stop = LoadPicture(L"stop.bmp", w, h);
    return skin;
}

int Fail(const char* what) {
    std::fprintf(stderr, "demo: %s; no picture saved\n", what);
    return 1;
}

// The client's first chat room: a document window with a people list.
HWND ChatRoom() {
    HWND frame = FindWindowW(L"AOL Frame25", nullptr);
    HWND mdi = frame ? FindWindowExW(frame, nullptr, L"MDIClient", nullptr) : nullptr;
    for (HWND doc = nullptr; mdi && (doc = FindWindowExW(mdi, doc, L"AOL Child", nullptr));)
        if (FindWindowExW(doc, nullptr, L"_AOL_Listbox", nullptr)) return doc;
    return nullptr;
}

// Waits until the room has taken count lines in all: the second line of
// idler's loading, of a tick or of the advert is the last thing it does then.
bool RoomHas(const std::filesystem::path& log, size_t count) {
    return standin_log::WaitForEvent(log, standin_log::Named("chat"), std::chrono::seconds(15),
                                     count)
        .has_value();
}

// Drags idler by its title strip to just right of the room, level with its
// top; null when done, else what went wrong. The press lands on whatever the
// screen shows there, so idler's title block must show first.
const char* PutBeside(HWND form, HWND room, const Skin& skin) {
    if (!WaitFor([&] { return OnScreen(form, kTitle) == skin.title; }, 10000))
        return "idler's title strip does not show on top";
    HWND frame = GetAncestor(room, GA_ROOT);
    RECT r, f, frameBefore, frameAfter;
    GetWindowRect(room, &r);
    GetWindowRect(form, &f);
    GetWindowRect(frame, &frameBefore);
    const POINT to{r.right + 8, r.top};
    Drag(form, 600, 120, to.x - f.left, to.y - f.top);
    const bool placed = WaitFor(
        [&] {
            GetWindowRect(form, &f);
            return f.left == to.x && f.top == to.y;
        },
        5000);
    GetWindowRect(frame, &frameAfter);
    if (!EqualRect(&frameBefore, &frameAfter)) return "the drag moved the client's window";
    return placed ? nullptr : "idler did not move beside the room";
}

// A system colour as the screen's pixels hold it (0x00RRGGBB).
COLORREF OnScreenColour(int index) {
    const COLORREF c = GetSysColor(index);
    return RGB(GetBValue(c), GetGValue(c), GetRValue(c));
}

bool InPicture(RECT r) {
    RECT both;
    return IntersectRect(&both, &r, &kPicture) && EqualRect(&both, &r);
}

// Whether a picture of kPicture shows idler beside the room as its skin draws
// it (the title block, and the Stop picture after Start), and the client's
// frame drawn by the stand-in: its toolbar, the bare workspace below idler
// and the room's people list in their colours.
bool LooksRight(const std::vector<COLORREF>& shot, HWND room, HWND form, const Skin& skin) {
    POINT o{0, 0}, toolbar{8, 8};
    ClientToScreen(form, &o);
    ClientToScreen(GetAncestor(room, GA_ROOT), &toolbar);
    RECT f, people, title = kTitle, stop = kStop;
    GetWindowRect(form, &f);
    GetWindowRect(FindWindowExW(room, nullptr, L"_AOL_Listbox", nullptr), &people);
    OffsetRect(&title, o.x, o.y);
    OffsetRect(&stop, o.x, o.y);
    const POINT workspace{f.left + 8, f.bottom + 16}, list{people.right - 6, people.bottom - 6};
    for (POINT p : {toolbar, workspace, list})
        if (!InPicture({p.x, p.y, p.x + 1, p.y + 1})) return false;
    if (!InPicture(title) || !InPicture(stop)) return false;
    auto at = [&](POINT p) { return shot[static_cast<size_t>(p.y) * kPictureWidth + p.x]; };
    return Crop(shot, kPictureWidth, title) == skin.title &&
           Crop(shot, kPictureWidth, stop) == skin.stop &&
           at(toolbar) == OnScreenColour(COLOR_BTNFACE) &&
           at(workspace) == OnScreenColour(COLOR_APPWORKSPACE) &&
           at(list) == OnScreenColour(COLOR_WINDOW);
}

// The window's program is back in its message loop (done with what it was
// handling), and the window is painted anew, whole: a caret taken away can
// leave its last blink on the screen.
void PaintNow(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

GUITHREADINFO ThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// Ends as a person who turns to another program would: a small window of the
// driver's own, off the picture, takes the focus, and idler's field gives up
// its blinking caret, which would make no two pictures alike.
bool TurnAway(HWND form) {
    HWND other = CreateWindowExW(
        WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, GetSystemMetrics(SM_CXSCREEN) - 8,
        GetSystemMetrics(SM_CYSCREEN) - 8, 8, 8, nullptr, nullptr, nullptr, nullptr);
    if (other) SetForegroundWindow(other);
    return other && WaitFor([&] { return !ThreadOf(form).hwndCaret; }, 5000);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: demo_driver TICKS LOG PICTURE\n");
        return 2;
    }
    const int ticks = std::atoi(argv[1]);
    const std::filesystem::path log = argv[2], picture = argv[3];
    const Skin skin = LoadSkin();
    if (skin.title.empty() || skin.stop.empty()) return Fail("idler's pictures could not be read");
    HWND form = FindTop(L"IdlerForm1", nullptr, 30000);
    if (!form) return Fail("idler's window did not appear");
    HWND room = nullptr;
    if (!WaitFor([&] { return (room = ChatRoom()) != nullptr; }, 30000))
        return Fail("the client's chat room did not appear");
    if (!RoomHas(log, 2)) return Fail("idler's loading lines did not reach the room");
    if (const char* error = PutBeside(form, room, skin)) return Fail(error);
    Click(form, 1080 + 600, 360 + 120);
    TypeText(Text4(form), L"out to lunch, back at two");
    TypeText(Text3(form), L"http://www.example.com/lunch");
    TypeText(Text2(form), L"the menu");
    Click(form, 3720 + 400, 1320 + 180); // Start
    for (int i = 1; i <= ticks; ++i) {
        Tick(form, 1);
        if (!RoomHas(log, 2 + 2 * i)) return Fail("a tick's lines did not reach the room");
    }
    Click(form, 3240 + 300, 120); // Advertise
    if (!RoomHas(log, 4 + 2 * ticks)) return Fail("the advert did not reach the room");
    if (!TurnAway(form)) return Fail("idler's field kept the focus");
    PaintNow(GetAncestor(room, GA_ROOT));
    PaintNow(form);
    // A paint reaches the screen a moment after it ends: the picture is kept
    // once two grabs in a row agree and show what they must.
    std::vector<COLORREF> shot, before;
    if (!WaitFor(
            [&] {
                before.swap(shot);
                shot = Grab(kPicture);
                return shot == before && LooksRight(shot, room, form, skin);
            },
            5000))
        return Fail("the screen does not show both windows placed and drawn");
    if (!SaveBmp(picture.wstring(), shot, kPictureWidth))
        return Fail("the picture could not be written");
    std::printf("demo: %d ticks brought forward, advert posted\n", ticks);
    return 0;
}
