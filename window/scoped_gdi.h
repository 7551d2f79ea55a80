#pragma once
// The GDI and window-manager pairs the code keeps for itself: an object,
// menu or icon made and deleted, the screen's DC got and released, a memory
// DC made and deleted, an object selected into a DC and the previous one put
// back. Each undoes its pair at the end of its scope, or of the struct that
// holds it.
#include <windows.h>

// A handle that Release undoes with its owner; null needs nothing undone.
template <class T, auto Release> class Scoped {
  public:
    Scoped() = default;
    explicit Scoped(T handle) : handle(handle) {}
    ~Scoped() { Undo(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    // Takes other over, undoing the handle held before.
    Scoped& operator=(T other) {
        Undo();
        handle = other;
        return *this;
    }
    operator T() const { return handle; }

  private:
    void Undo() {
        if (handle) Release(handle);
    }
    T handle{};
};

inline void FreeGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}
inline void FreeMenu(HMENU menu) {
    DestroyMenu(menu); // and its submenus with it
}
inline void FreeIcon(HICON icon) {
    DestroyIcon(icon);
}

// A pen, brush, font or bitmap of ours.
template <class T> using OwnedGdi = Scoped<T, FreeGdiObject>;
// A menu of ours that no window holds (a window destroys its own menu bar).
using OwnedMenu = Scoped<HMENU, FreeMenu>;
// An icon loaded without LR_SHARED, which is ours to destroy.
using OwnedIcon = Scoped<HICON, FreeIcon>;
// GetDC(nullptr)'s, for making compatible DCs and bitmaps.
using ScreenDc = Scoped<HDC, [](HDC dc) { ReleaseDC(nullptr, dc); }>;
// CreateCompatibleDC's, to draw into a bitmap of ours.
using MemoryDc = Scoped<HDC, [](HDC dc) { DeleteDC(dc); }>;

// object selected into dc for the scope, the one it replaced put back after.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc(dc), old(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc, old); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc;
    HGDIOBJ old;
};
