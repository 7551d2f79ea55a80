#pragma once
// Picture1, the skin: it paints the picture and the windowless labels, lines
// and Image1 over it, colours the controls inside it, and turns mouse presses
// on those items into their handlers.
#include <windows.h>

struct Form1;

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// A picture of the program's resources, as a packed DIB (header, colours,
// pixels), drawn from there and never copied.
const BITMAPINFO* PackedDib(HINSTANCE instance, int id);

// A brush of the piece of skin under a control, for its background.
HBRUSH SkinUnder(const Form1& form, HWND control);
