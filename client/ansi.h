#pragma once
// The program's one edge between its own text (UTF-16, as the compiler's wide
// strings) and the system's: everything it shows, types into the client or
// stores goes through the ANSI ("...A") calls, which every Windows from 95 on
// implements, in the system's ANSI code page. The conversions live here.
#include <windows.h>
#include <string>

// Text to and from a code page (CP_ACP, CP_UTF8). Characters the code page
// lacks become its default character.
std::string ToCodePage(UINT codePage, const std::wstring& text);
std::wstring FromCodePage(UINT codePage, const std::string& bytes);

inline std::string ToAnsi(const std::wstring& text) {
    return ToCodePage(CP_ACP, text);
}
inline std::wstring FromAnsi(const std::string& bytes) {
    return FromCodePage(CP_ACP, bytes);
}

// A window's text as ANSI bytes; "" for null, a gone window or no text. The
// text may change between reading its length and its characters: only what
// was copied is kept, and when the copy filled the buffer the length is read
// again, a few times at most, in case it grew.
std::string WindowText(HWND window);

// A modal box (MB_OK, MB_YESNO...) owned by owner; the button pressed.
int ShowMessageBox(HWND owner, const std::wstring& prompt, const std::wstring& title, UINT style);
