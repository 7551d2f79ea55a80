// Word wrap of the stand-in room's lines, with text measured by a stand-in
// for GDI: one unit a byte, two for bold.
#include "engine/announce.h"
#include "standin/chat_wrap.h"
#include "tests/unit/cp1252.h"
#include <gtest/gtest.h>

using standin::ChatPiece;
using standin::ChatRow;
using standin::ChatRun;
using standin::ChatStyle;
using Rows = std::vector<ChatRow>;

namespace {

int Measure(const ChatStyle& style, std::string_view text) {
    return static_cast<int>(text.size()) * (style.bold ? 2 : 1);
}

Rows Wrap(const std::vector<ChatRun>& runs, int width) {
    return standin::WrapChatRuns(runs, width, Measure);
}

std::vector<ChatRun> Plain(std::string text) {
    return {{std::move(text), {}}};
}

ChatStyle Bold() {
    ChatStyle s;
    s.bold = true;
    return s;
}

// The rows' texts, one string a row.
std::vector<std::string> Texts(const Rows& rows) {
    std::vector<std::string> texts;
    for (const ChatRow& row : rows) {
        std::string text;
        for (const ChatPiece& piece : row) text += piece.text;
        texts.push_back(text);
    }
    return texts;
}

using Texts_ = std::vector<std::string>;

TEST(ChatWrap, ALineThatFitsIsOneRowOfPiecesSideBySide) {
    const std::vector<ChatRun> runs{{"Ann:", Bold()}, {" hi there", {}}};
    EXPECT_EQ(Wrap(runs, 100), (Rows{{{0, "Ann:", 0, 8}, {1, " hi there", 8, 9}}}));
    EXPECT_EQ(Wrap(runs, 17), (Rows{{{0, "Ann:", 0, 8}, {1, " hi there", 8, 9}}}));
    EXPECT_EQ(Wrap({}, 10), (Rows{{}}));
}

TEST(ChatWrap, RowsBreakAtBlanksWhichTheBreakSwallows) {
    EXPECT_EQ(Texts(Wrap(Plain("aaa bbb ccc"), 7)), (Texts_{"aaa bbb", "ccc"}));
    EXPECT_EQ(Texts(Wrap(Plain("aaa   bbb ccc"), 8)), (Texts_{"aaa", "bbb ccc"}));
    // The next row starts at the left edge.
    const Rows rows = Wrap({{"Ann:", Bold()}, {" aaa bbb", {}}}, 12);
    EXPECT_EQ(rows, (Rows{{{0, "Ann:", 0, 8}, {1, " aaa", 8, 4}}, {{1, "bbb", 0, 3}}}));
    // Blanks that open the line are kept; blanks that end it go where they do not fit.
    EXPECT_EQ(Texts(Wrap(Plain("  ab  "), 10)), (Texts_{"  ab  "}));
    EXPECT_EQ(Texts(Wrap(Plain("  ab  "), 4)), (Texts_{"  ab"}));
}

TEST(ChatWrap, AWordAcrossRunsMovesWhole) {
    // "bo" + bold "ld" is one word of six units: it does not fit after "xx ".
    const Rows rows = Wrap({{"xx bo", {}}, {"ld", Bold()}, {" y", {}}}, 8);
    EXPECT_EQ(rows, (Rows{{{0, "xx", 0, 2}}, {{0, "bo", 0, 2}, {1, "ld", 2, 4}, {2, " y", 6, 2}}}));
    // Measured in its own style: the bold half is what makes it too wide.
    EXPECT_EQ(Texts(Wrap({{"xx bo", {}}, {"ld", {}}}, 8)), (Texts_{"xx bold"}));
}

TEST(ChatWrap, AWordWiderThanARowIsCutWhereItStopsFitting) {
    EXPECT_EQ(Texts(Wrap(Plain("abcdefghij"), 4)), (Texts_{"abcd", "efgh", "ij"}));
    EXPECT_EQ(Texts(Wrap(Plain("ab cdefghij k"), 4)), (Texts_{"ab", "cdef", "ghij", "k"}));
    // Across runs, each part measured in its style.
    EXPECT_EQ(Texts(Wrap({{"abc", {}}, {"def", Bold()}}, 5)), (Texts_{"abcd", "ef"}));
    // A row narrower than one byte still takes one, so the wrap ends.
    EXPECT_EQ(Texts(Wrap({{"ab", Bold()}, {" c", {}}}, 1)), (Texts_{"a", "b", "c"}));
    EXPECT_EQ(Texts(Wrap(Plain("abc"), 0)), (Texts_{"a", "b", "c"}));
}

// Every line idler posts, at every width from 1 to 90: no row wider than the
// view unless it is one byte, pieces contiguous from the left edge, and every
// byte but the blanks at breaks shown in order.
TEST(ChatWrap, AnnouncementsAtEveryWidthLoseNothingAndStayInside) {
    const std::wstring lines[] = {
        announce::StatusLine(L"1234", L"gone fishing, back at <b>five</b>"),
        announce::SiteLinkLine(), announce::LoadLine(),
        announce::LinkLine(L"http://www.example.com/a-rather-long-address", L"my page")};
    for (const std::wstring& line : lines) {
        const std::vector<ChatRun> runs = standin::RoomLineRuns("Idle Tester", ToCp1252(line));
        std::string shown;
        for (const ChatRun& run : runs) shown += run.text;
        for (int width = 1; width <= 90; ++width) {
            SCOPED_TRACE(testing::Message() << "width " << width);
            const Rows rows = Wrap(runs, width);
            std::string kept;
            size_t at = 0;
            for (const ChatRow& row : rows) {
                int x = 0;
                for (const ChatPiece& piece : row) {
                    EXPECT_EQ(piece.x, x);
                    EXPECT_EQ(piece.width, Measure(runs[piece.run].style, piece.text));
                    x += piece.width;
                    // In order: each piece is found where the last one ended,
                    // with only blanks skipped between them.
                    const size_t found = shown.find(piece.text, at);
                    ASSERT_NE(found, std::string::npos);
                    EXPECT_EQ(shown.substr(at, found - at).find_first_not_of(' '),
                              std::string::npos);
                    at = found + piece.text.size();
                    kept += piece.text;
                }
                const bool oneByte = row.size() == 1 && row[0].text.size() == 1;
                EXPECT_TRUE(x <= width || oneByte) << x;
            }
            EXPECT_EQ(shown.substr(at).find_first_not_of(' '), std::string::npos);
            std::string words = shown, keptWords = kept;
            std::erase(words, ' ');
            std::erase(keptWords, ' ');
            EXPECT_EQ(keptWords, words);
        }
    }
}

TEST(ChatWrap, ALongLineWrapsToEveryRowFull) {
    std::string text;
    while (text.size() < 2000) text += "word ";
    text.pop_back();
    const Rows rows = Wrap(Plain(text), 40);
    // 400 words, eight to a row: "word word ... word" is 39 units.
    ASSERT_EQ(rows.size(), 50u);
    for (size_t i = 0; i + 1 < rows.size(); ++i) EXPECT_EQ(Texts({rows[i]})[0].size(), 39u);
}

} // namespace
