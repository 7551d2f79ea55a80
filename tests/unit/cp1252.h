#pragma once
// Windows-1252 encoding for the tests, independent of the product's own
// conversion: ASCII and Latin-1 map to themselves, the announcement
// characters to their 0x80-0x9F bytes; anything else is a test failure ('?').
#include <string>

inline std::string ToCp1252(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        switch (c) {
        case 0x2022:
            out += '\x95';
            break;
        case 0x203A:
            out += '\x9B';
            break;
        case 0x2039:
            out += '\x8B';
            break;
        default:
            out += (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) ? static_cast<char>(c) : '?';
        }
    }
    return out;
}
