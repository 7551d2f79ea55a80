// The conversion to and from the ANSI code page (1252 in the test prefix).
#include "system/ansi.h"
#include <gtest/gtest.h>

TEST(SystemAnsi, AnnouncementCharactersBecomeTheirCp1252Bytes) {
    EXPECT_EQ(ToAnsi(L"\u2022\u203A\u2039\u00B7\u00F8\u00E5"), "\x95\x9B\x8B\xB7\xF8\xE5");
    EXPECT_EQ(FromAnsi("\x95\x9B\x8B\xB7\xF8\xE5"), L"\u2022\u203A\u2039\u00B7\u00F8\u00E5");
    EXPECT_EQ(ToAnsi(L"<font color=\"#000080\">"), "<font color=\"#000080\">");
}

TEST(SystemAnsi, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::wstring text = FromAnsi(all);
    EXPECT_EQ(text.size(), all.size());
    EXPECT_EQ(ToAnsi(text), all);
}

TEST(SystemAnsi, EmptyZeroAndUnmappableCharacters) {
    EXPECT_EQ(ToAnsi(L""), "");
    EXPECT_EQ(FromAnsi(""), L"");
    // A zero inside the text is kept, not taken as the end.
    EXPECT_EQ(ToAnsi(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(FromAnsi(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
    // Outside Windows-1252 a character cannot survive; it must not vanish
    // either, or the line's length would change.
    EXPECT_EQ(ToAnsi(L"x\u4E2Dy").size(), 3u);
    EXPECT_EQ(ToAnsi(L"x\u4E2Dy")[0], 'x');
    EXPECT_EQ(ToAnsi(L"x\u4E2Dy")[2], 'y');
}
