#pragma once
// The program's one edge between its own text (UTF-16, as the compiler's wide
// strings) and the system's: everything it shows, types into the client or
// stores goes through the ANSI ("...A") calls, which every Windows from 95 on
// implements, in the system's ANSI code page. The conversions live here; the
// calls on windows that carry text are in window/ui.h.
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
