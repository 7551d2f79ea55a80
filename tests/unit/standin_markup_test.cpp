// The stand-in room's reading of a chat line: which text shows, in which
// colour, face and weight, with the tags taken out.
#include "engine/announce.h"
#include "standin/chat_markup.h"
#include "tests/unit/cp1252.h"
#include <gtest/gtest.h>

using standin::ChatRun;
using standin::ChatStyle;
using standin::ParseChatMarkup;
using Runs = std::vector<ChatRun>;

namespace {

const std::string kTag = "\x95[\x9Bvex\x8B]"; // the program tag as the room gets it

ChatStyle Colored(std::uint32_t color, ChatStyle s = {}) {
    s.color = color;
    return s;
}
ChatStyle Face(std::string face, ChatStyle s = {}) {
    s.face = std::move(face);
    return s;
}
ChatStyle Bold(ChatStyle s = {}) {
    s.bold = true;
    return s;
}
ChatStyle Italic(ChatStyle s = {}) {
    s.italic = true;
    return s;
}
ChatStyle Underlined(ChatStyle s = {}) {
    s.underline = true;
    return s;
}
ChatStyle Linked(ChatStyle s = {}) {
    s.underline = true;
    s.link = true;
    return s;
}

// The frame's colour and face, in which every announcement shows.
const ChatStyle kNavy = Colored(0x000080, Face("arial narrow"));
const ChatStyle kBlueLink = Linked(Colored(0x0000ff, kNavy));

Runs Parse(const std::wstring& line) {
    return ParseChatMarkup(ToCp1252(line));
}

TEST(ChatMarkupAnnouncements, PlainLinesShowNavyNarrowTextWithTheirBlanks) {
    EXPECT_EQ(Parse(announce::StatusLine(L"13", L"out to lunch")),
              (Runs{{kTag + " \xB7 13 \xB7 out to lunch", kNavy}}));
    // The doubled blanks around the dots stay as sent.
    EXPECT_EQ(Parse(announce::LoadLine()), (Runs{{kTag + " \xB7 [Zorvik]  \xB7  L\xF8\xE5"
                                                         "d",
                                                  kNavy}}));
    EXPECT_EQ(Parse(announce::ClosingUnloadLine()),
              (Runs{{kTag + "  \xB7  [Zorvik]  \xB7  Unl\xF8\xE5"
                            "d",
                     kNavy}}));
    EXPECT_EQ(Parse(announce::TotalLine(L"")),
              (Runs{{kTag + " \xB7 Total Idled \xB7  min(s)", kNavy}}));
}

TEST(ChatMarkupAnnouncements, LinkLinesShowTheLinkTextBlueAndUnderlined) {
    // The "</u>" after the anchor's start does not take the link's underline
    // away; the stray "</a>" before it changes nothing.
    const Runs site{{kTag + " \xB7 ", kNavy}, {"download me", kBlueLink}};
    EXPECT_EQ(Parse(announce::SiteLinkLine()), site);
    EXPECT_EQ(Parse(announce::AdvertLinkLine()),
              (Runs{{kTag + " \xB7 [Zorvik] \xB7 ", kNavy}, {"download me", kBlueLink}}));
    EXPECT_EQ(Parse(announce::LinkLine(L"http://www.example.com/lunch", L"the menu")),
              (Runs{{kTag + " \xB7 ", kNavy}, {"the menu", kBlueLink}}));
    // A quote in the address ends the href early; the rest of the tag is dropped.
    EXPECT_EQ(Parse(announce::LinkLine(L"a\"b", L"T")),
              (Runs{{kTag + " \xB7 ", kNavy}, {"T", kBlueLink}}));
}

TEST(ChatMarkupAnnouncements, TagsTypedIntoTheReasonAreInterpreted) {
    EXPECT_EQ(Parse(announce::StatusLine(L"1", L"<b>brb</b> soon")),
              (Runs{{kTag + " \xB7 1 \xB7 ", kNavy}, {"brb", Bold(kNavy)}, {" soon", kNavy}}));
    EXPECT_EQ(Parse(announce::StatusLine(L"1", L"x < y")),
              (Runs{{kTag + " \xB7 1 \xB7 x < y", kNavy}}));
}

TEST(ChatMarkupRoomLine, ScreenNameInBoldThenTheMessage) {
    ChatStyle plain;
    EXPECT_EQ(standin::RoomLineRuns("Idle Tester", "hi <i>all</i>"),
              (Runs{{"Idle Tester:", Bold()}, {" hi ", plain}, {"all", Italic()}}));
    // The name is not markup.
    EXPECT_EQ(standin::RoomLineRuns("A<b>", "<b>x"),
              (Runs{{"A<b>:", Bold()}, {" ", plain}, {"x", Bold()}}));
}

TEST(ChatMarkupTags, NamesAndAttributesInAnyCaseAndQuoting) {
    EXPECT_EQ(ParseChatMarkup("<FONT COLOR=#FF0000>r</FONT><Font Color='00ff00'>g</font>"
                              "<font face=Courier>c</font>"),
              (Runs{{"r", Colored(0xff0000)}, {"g", Colored(0x00ff00)}, {"c", Face("Courier")}}));
    EXPECT_EQ(ParseChatMarkup("< B >b</ b >< U>u</U>"), (Runs{{"b", Bold()}, {"u", Underlined()}}));
    EXPECT_EQ(ParseChatMarkup("<font face = \" comic sans ms \" color = \"#0000FF\">x"),
              (Runs{{"x", Colored(0x0000ff, Face("comic sans ms"))}}));
}

TEST(ChatMarkupTags, BoldItalicUnderlineNestAndStrayEndTagsAreIgnored) {
    EXPECT_EQ(ParseChatMarkup("</b></i></u></font></a>plain"), (Runs{{"plain", {}}}));
    EXPECT_EQ(ParseChatMarkup("<b><b>2</b>1</b>0</b>0"), (Runs{{"21", Bold()}, {"00", {}}}));
    EXPECT_EQ(ParseChatMarkup("<b>b<i>bi<u>biu</b>iu</i>u</u>-"),
              (Runs{{"b", Bold()},
                    {"bi", Bold(Italic())},
                    {"biu", Bold(Italic(Underlined()))},
                    {"iu", Italic(Underlined())},
                    {"u", Underlined()},
                    {"-", {}}}));
}

TEST(ChatMarkupTags, NestedFontsGiveBackTheOuterColourAndFace) {
    EXPECT_EQ(ParseChatMarkup("<font color=#ff0000>r<font face=Courier>c<font color=#00ff00>g"
                              "</font>c</font>r</font>k</font>k"),
              (Runs{{"r", Colored(0xff0000)},
                    {"c", Colored(0xff0000, Face("Courier"))},
                    {"g", Colored(0x00ff00, Face("Courier"))},
                    {"c", Colored(0xff0000, Face("Courier"))},
                    {"r", Colored(0xff0000)},
                    {"kk", {}}}));
}

TEST(ChatMarkupTags, AnchorsUnknownTagsAndBadValues) {
    // Only an anchor with an address is a link; its colour outlives it until
    // the font tag ends.
    EXPECT_EQ(ParseChatMarkup("<a name=x>n</a><a href=y><font color=#0000ff>l</a>b</font>"),
              (Runs{{"n", {}}, {"l", Linked(Colored(0x0000ff))}, {"b", Colored(0x0000ff)}}));
    EXPECT_EQ(ParseChatMarkup("<br><marquee behavior=alternate>m</marquee><b-x>x<img src=a.gif/>"),
              (Runs{{"mx", {}}}));
    // A colour that is not six hex digits and an empty face leave the style as it was.
    EXPECT_EQ(ParseChatMarkup("<font color=red>a<font color=\"#12345\">b<font color=#gg0000>c"
                              "<font face=\"\">d"),
              (Runs{{"abcd", {}}}));
}

TEST(ChatMarkupMalformed, ALessThanThatStartsNoTagIsText) {
    EXPECT_EQ(ParseChatMarkup("<"), (Runs{{"<", {}}}));
    EXPECT_EQ(ParseChatMarkup("i <3 u, 1<2, <<>>, < >, </>"),
              (Runs{{"i <3 u, 1<2, <<>>, < >, </>", {}}}));
    // An unclosed tag shows as it was typed, with the style before it.
    EXPECT_EQ(ParseChatMarkup("<b>x</b> <b"), (Runs{{"x", Bold()}, {" <b", {}}}));
    EXPECT_EQ(ParseChatMarkup("<font color=\"#ff0000\""), (Runs{{"<font color=\"#ff0000\"", {}}}));
    // A quote left open in a tag runs to the tag's end, not the line's.
    EXPECT_EQ(ParseChatMarkup("<font face=\"Times>x"), (Runs{{"x", Face("Times")}}));
    EXPECT_EQ(ParseChatMarkup(""), Runs{});
    EXPECT_EQ(ParseChatMarkup("<b></b><i></i>"), Runs{});
}

TEST(ChatMarkupMalformed, LongLinesKeepEveryByte) {
    // Every byte value but NUL, 2000 bytes: no tag can start ("<" is followed
    // by "="), so all of it is one run, high bytes included.
    std::string every;
    while (every.size() < 2000) every += static_cast<char>(every.size() % 255 + 1);
    EXPECT_EQ(ParseChatMarkup(every), (Runs{{every, {}}}));

    // 2000 bytes of unclosed tags: text.
    std::string open;
    while (open.size() < 2000) open += "<b";
    EXPECT_EQ(ParseChatMarkup(open), (Runs{{open, {}}}));

    // 2000 bytes of alternating bold: every letter where it was, styles alternating.
    std::string alternating;
    while (alternating.size() + 11 <= 2000) alternating += "<b>ab</b>cd";
    const Runs runs = ParseChatMarkup(alternating);
    ASSERT_EQ(runs.size(), 2 * (alternating.size() / 11));
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i], (ChatRun{i % 2 ? "cd" : "ab", i % 2 ? ChatStyle{} : Bold()}));
    }

    // 2000 bytes of font tags opened and never closed: the last colour holds.
    std::string fonts;
    while (fonts.size() + 21 <= 2000) fonts += "<font color=#00ff00>x";
    EXPECT_EQ(ParseChatMarkup(fonts),
              (Runs{{std::string(fonts.size() / 21, 'x'), Colored(0x00ff00)}}));
}

} // namespace
