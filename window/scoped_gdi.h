#pragma once
// The GDI pairs the code keeps for itself: an object made and deleted, the
// screen's DC got and released, a memory DC made and deleted, an object
// selected into a DC and the previous one put back. Each undoes its pair at
// the end of its scope.
#include <windows.h>

// A handle that Release undoes with its owner; null needs nothing undone.
template <class T, auto Release> class Scoped {
  public:
    explicit Scoped(T handle) : handle(handle) {}
    ~Scoped() {
        if (handle) Release(handle);
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    operator T() const { return handle; }

  private:
    T handle;
};

// A pen, brush, font or bitmap of ours.
template <class T> using OwnedGdi = Scoped<T, [](T object) { DeleteObject(object); }>;
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
