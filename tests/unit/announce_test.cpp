// Every chat line, byte for byte as the room receives it in Windows-1252.
#include "engine/announce.h"
#include "tests/unit/cp1252.h"
#include <gtest/gtest.h>

namespace {

const std::string kFrame = "<font color=\"#000080\"><font face=\"arial narrow\"";
const std::string kTag = "></b>\x95[\x9Bvex\x8B]";
const std::string kSite = "http://www.example.com/idler/";

std::string Bytes(const std::wstring& line) {
    return ToCp1252(line);
}

TEST(AnnounceFrame, IsFortySevenAsciiCharacters) {
    EXPECT_EQ(announce::Frame().size(), 47u);
    EXPECT_EQ(Bytes(announce::Frame()), kFrame);
}

TEST(AnnounceCatalogue, FixedLinesMatchTheirBytes) {
    EXPECT_EQ(Bytes(announce::LoadLine()), kFrame + kTag +
                                               " \xB7 [Zorvik]  \xB7  L\xF8\xE5"
                                               "d");
    EXPECT_EQ(Bytes(announce::UnloadLine()), kFrame + kTag +
                                                 " \xB7 [Zorvik]  \xB7  Unl\xF8\xE5"
                                                 "d");
    EXPECT_EQ(Bytes(announce::ClosingUnloadLine()), kFrame + kTag +
                                                        "  \xB7  [Zorvik]  \xB7  Unl\xF8\xE5"
                                                        "d");
    EXPECT_EQ(Bytes(announce::AdvertLine()), kFrame + kTag + " \xB7 [Zorvik] \xB7 AOL 5.0 Idle");
    EXPECT_EQ(Bytes(announce::SiteLinkLine()),
              kFrame + kTag + " \xB7 </a>< a href=\"" + kSite +
                  "\"></u><font color=\"#0000ff\">download me</a>");
    EXPECT_EQ(Bytes(announce::AdvertLinkLine()),
              kFrame + kTag + " \xB7 [Zorvik] \xB7 </a>< a href=\"" + kSite +
                  "\"></u><font color=\"#0000ff\">download me</a>");
}

TEST(AnnounceCatalogue, SwitchLines) {
    EXPECT_EQ(Bytes(announce::SilentLine(true)), kFrame + kTag + " \xB7 Silent Mode \xB7 \xF8n");
    EXPECT_EQ(Bytes(announce::SilentLine(false)), kFrame + kTag +
                                                      " \xB7 Silent Mode \xB7 \xF8"
                                                      "ff");
    EXPECT_EQ(Bytes(announce::MouseLine(true)), kFrame + kTag + " \xB7 Mouse Movement \xB7 \xF8n");
    EXPECT_EQ(Bytes(announce::MouseLine(false)), kFrame + kTag +
                                                     " \xB7 Mouse Movement \xB7 \xF8"
                                                     "ff");
    EXPECT_EQ(Bytes(announce::MessagesLine(true)),
              kFrame + kTag + " \xB7 Instant Messages \xB7 \xF8n");
    EXPECT_EQ(Bytes(announce::MessagesLine(false)), kFrame + kTag +
                                                        " \xB7 Instant Messages \xB7 \xF8"
                                                        "ff");
}

TEST(AnnounceCatalogue, LinesWithValuesInsertThemUnescaped) {
    EXPECT_EQ(Bytes(announce::StatusLine(L"13", L"<b>brb</b>")),
              kFrame + kTag + " \xB7 13 \xB7 <b>brb</b>");
    EXPECT_EQ(Bytes(announce::StatusLine(L"1", L"")), kFrame + kTag + " \xB7 1 \xB7 ");
    // A quote in the address ends the href early; the line goes out as composed.
    EXPECT_EQ(Bytes(announce::LinkLine(L"a\"b", L"T")),
              kFrame + kTag + " \xB7 </a>< a href=\"a\"b\"></u><font color=\"#0000ff\">T</a>");
    EXPECT_EQ(Bytes(announce::UserLine(L"")), kFrame + kTag + " \xB7 User \xB7 ");
    EXPECT_EQ(Bytes(announce::UserLine(L"Zed")), kFrame + kTag + " \xB7 User \xB7 Zed");
    EXPECT_EQ(Bytes(announce::TotalLine(L"")), kFrame + kTag + " \xB7 Total Idled \xB7  min(s)");
    EXPECT_EQ(Bytes(announce::TotalLine(L"42")),
              kFrame + kTag + " \xB7 Total Idled \xB7 42 min(s)");
}

TEST(AnnounceCatalogue, ClosingUnloadDiffersOnlyAroundTheFirstDot) {
    std::wstring a = announce::UnloadLine(), b = announce::ClosingUnloadLine();
    a.replace(a.find(L" \u00B7 "), 3, L"  \u00B7  ");
    EXPECT_EQ(a, b);
}

} // namespace
