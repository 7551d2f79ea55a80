// The data file's INI text: what reads back, and what a write changes (and
// what it must leave alone).
#include "store/profile.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Read(std::string_view text, std::string_view section, std::string_view key) {
    return profile::Read<char>(text, section, key);
}

std::optional<std::string> Write(std::string_view text, std::string_view section,
                                 std::string_view key, std::string_view value) {
    return profile::Write<char>(text, section, key, value);
}

// The text after a write that must succeed.
std::string Written(std::string_view text, std::string_view section, std::string_view key,
                    std::string_view value) {
    const std::optional<std::string> out = Write(text, section, key, value);
    EXPECT_TRUE(out.has_value()) << "write refused: " << key << "=" << value;
    return out.value_or("<refused>");
}

TEST(ProfileReads, ValuesAreTrimmedAndLoseOnePairOfMatchingQuotes) {
    const std::string text = "[Prefs]\r\n"
                             "  Reason  =  brb  \r\n"
                             "Dq=\"brb\"\r\n"
                             "Sq='brb'\r\n"
                             "Inner=\" a \"\r\n"
                             "Twice=\"\"x\"\"\r\n"
                             "Mixed=\"x'\r\n"
                             "Lone=\"\r\n"
                             "Pair=\"\"\r\n"
                             "Tabs=\t\x1A"
                             "x\x0B\x0C\r\n"
                             "Nbsp=\xA0x\xA0\r\n";
    EXPECT_EQ(Read(text, "Prefs", "Reason"), "brb");
    EXPECT_EQ(Read(text, "Prefs", "Dq"), "brb");
    EXPECT_EQ(Read(text, "Prefs", "Sq"), "brb");
    EXPECT_EQ(Read(text, "Prefs", "Inner"), " a ");
    EXPECT_EQ(Read(text, "Prefs", "Twice"), "\"x\"");
    EXPECT_EQ(Read(text, "Prefs", "Mixed"), "\"x'");
    EXPECT_EQ(Read(text, "Prefs", "Lone"), "\"");
    EXPECT_EQ(Read(text, "Prefs", "Pair"), "");
    // Tab to CR, Ctrl-Z and space are blanks; a no-break space is text.
    EXPECT_EQ(Read(text, "Prefs", "Tabs"), "x");
    EXPECT_EQ(Read(text, "Prefs", "Nbsp"), "\xA0x\xA0");
}

TEST(ProfileReads, MissingSectionKeyOrEqualsSignReadsEmpty) {
    const std::string text = "Orphan=1\r\n[Prefs]\r\nREASON\r\nEmpty=\r\n[Time]\r\nTIME=5\r\n";
    EXPECT_EQ(Read("", "Prefs", "Reason"), "");
    EXPECT_EQ(Read(text, "Checks", "Checked"), "");
    EXPECT_EQ(Read(text, "Prefs", "Link"), "");
    EXPECT_EQ(Read(text, "Prefs", "Reason"), "");
    EXPECT_EQ(Read(text, "Prefs", "Empty"), "");
    EXPECT_EQ(Read(text, "Prefs", "Time"), "");   // not in its own section
    EXPECT_EQ(Read(text, "Prefs", "Orphan"), ""); // before any section
    EXPECT_EQ(Read(text, "Time", "Time"), "5");
}

TEST(ProfileReads, OnlyASemicolonAtTheStartMakesAComment) {
    const std::string text = "[Prefs]\r\n"
                             ";Reason=hidden\r\n"
                             "  ; Link=hidden\r\n"
                             "#Text=hash\r\n"
                             "Link=a ;b # c\r\n";
    EXPECT_EQ(Read(text, "Prefs", "Reason"), "");
    EXPECT_EQ(Read(text, "Prefs", "Link"), "a ;b # c");
    EXPECT_EQ(Read(text, "Prefs", "#Text"), "hash");
}

TEST(ProfileReads, CrLfAndCrLfEachEndALine) {
    EXPECT_EQ(Read("[P]\rA=1\rB=2", "P", "B"), "2");
    EXPECT_EQ(Read("[P]\nA=1\nB=2\n", "P", "A"), "1");
    EXPECT_EQ(Read("[P]\r\r\nA=1\n\rB=2", "P", "B"), "2");
    EXPECT_EQ(Read("[P]\r\nA=1\r\n\r\n\r\nB=2", "P", "B"), "2");
}

TEST(ProfileReads, SectionHeadersAsThePlatformReadsThem) {
    // Blanks inside the brackets are trimmed; text after the last "]" is ignored.
    EXPECT_EQ(Read(" [ Prefs ] \r\nA=1\r\n", "Prefs", "A"), "1");
    EXPECT_EQ(Read("[Prefs] ; note\r\nA=1\r\n", "Prefs", "A"), "1");
    EXPECT_EQ(Read("[a]b]\r\nA=1\r\n", "a]b", "A"), "1");
    // Without a "]" the line is an entry, so the section never opens.
    EXPECT_EQ(Read("[Prefs\r\nA=1\r\n", "Prefs", "A"), "");
}

TEST(ProfileReads, OnlyTheFirstOfTwoSameNamedSectionsOrKeysCounts) {
    const std::string text = "[Prefs]\r\nA=1\r\nA=2\r\n[Other]\r\nB=0\r\n[prefs]\r\nA=3\r\nB=4\r\n";
    EXPECT_EQ(Read(text, "Prefs", "A"), "1");
    EXPECT_EQ(Read(text, "Prefs", "B"), "");
}

TEST(ProfileReads, ANulEndsANameOrAValue) {
    const std::string text("[P]\r\nA=x\0y\r\nB\0junk=1\r\n", 22);
    EXPECT_EQ(Read(text, "P", "A"), "x");
    EXPECT_EQ(Read(text, "P", "B"), "1");
}

TEST(ProfileReads, LongValuesComeBackWhole) {
    // The 749-character cut belongs to ReadIni's buffer, not to the text.
    const std::string value(5000, 'v');
    EXPECT_EQ(Read("[P]\r\nK=" + value + "\r\n", "P", "K"), value);
}

TEST(ProfileCase, SectionsAndKeysMatchWithoutRegardToCase) {
    const std::string text = "[prefs]\r\nreason=a\r\nLINK=b\r\nText=c\r\n";
    EXPECT_EQ(Read(text, "Prefs", "reason"), "a");
    EXPECT_EQ(Read(text, "PREFS", "REASON"), "a");
    EXPECT_EQ(Read(text, "Prefs", "link"), "b");
    EXPECT_EQ(Read(text, "prefs", "tExT"), "c");
    // Names are trimmed before they are looked up.
    EXPECT_EQ(Read(text, " Prefs ", " reason "), "a");
}

TEST(ProfileCase, ValuesKeepTheirCase) {
    EXPECT_EQ(Read("[Checks]\r\nCHECKED=checked\r\n", "Checks", "checked"), "checked");
    EXPECT_EQ(Written("", "Checks", "CHECKED", "UnChecked"), "[Checks]\r\nCHECKED=UnChecked\r\n");
}

TEST(ProfileReplacements, KeepTheLinesPlaceTheFilesSpellingAndItsLineEnding) {
    EXPECT_EQ(Written("[Prefs]\r\nreason=old\r\nLINK=x\r\n", "Prefs", "REASON", "new"),
              "[Prefs]\r\nreason=new\r\nLINK=x\r\n");
    EXPECT_EQ(Written("[Prefs]\nReason = old \nLINK=x\n", "Prefs", "REASON", "new"),
              "[Prefs]\nReason=new\nLINK=x\n");
    EXPECT_EQ(Written("[Prefs]\r\nREASON=old", "Prefs", "REASON", "new"), "[Prefs]\r\nREASON=new");
    EXPECT_EQ(Written("[Time]\r\nTIME=17\r\n", "Time", "TIME", ""), "[Time]\r\nTIME=\r\n");
}

TEST(ProfileReplacements, AKeyWithoutEqualsSignIsFilledInItsPlace) {
    EXPECT_EQ(Written("[Prefs]\r\nREASON\r\nLINK=x\r\n", "Prefs", "REASON", "brb"),
              "[Prefs]\r\nREASON=brb\r\nLINK=x\r\n");
}

TEST(ProfileReplacements, OnlyTheFirstSameNamedSectionAndKeyAreWritten) {
    const std::string text = "[Prefs]\r\nA=1\r\nA=2\r\n[prefs]\r\nA=3\r\n";
    EXPECT_EQ(Written(text, "Prefs", "A", "9"), "[Prefs]\r\nA=9\r\nA=2\r\n[prefs]\r\nA=3\r\n");
    EXPECT_EQ(Written(text, "Prefs", "B", "9"),
              "[Prefs]\r\nA=1\r\nA=2\r\nB=9\r\n[prefs]\r\nA=3\r\n");
}

TEST(ProfileReplacements, StoringTheStoredValueChangesNothing) {
    const std::string text = "[Prefs]\n  reason =  brb\t\n[Time]\r\nTIME=0";
    EXPECT_EQ(Written(text, "Prefs", "REASON", "brb"), text);
    EXPECT_EQ(Written(text, "Time", "TIME", "0"), text);
    const std::string quoted = "[Prefs]\r\nREASON=\" brb \"\r\n";
    EXPECT_EQ(Written(quoted, "Prefs", "REASON", " brb "), quoted);
}

TEST(ProfileAdditions, ANewKeyGoesAfterTheLastLineOfItsSection) {
    EXPECT_EQ(Written("[Prefs]\r\nREASON=a\r\n\r\n[Time]\r\nTIME=1\r\n", "Prefs", "LINK", "b"),
              "[Prefs]\r\nREASON=a\r\nLINK=b\r\n\r\n[Time]\r\nTIME=1\r\n");
    EXPECT_EQ(Written("[Prefs]\r\nREASON=a\r\n; last\r\n\r\n", "Prefs", "LINK", "b"),
              "[Prefs]\r\nREASON=a\r\n; last\r\nLINK=b\r\n\r\n");
    EXPECT_EQ(Written("[Prefs]\r\n[Time]\r\n", "Prefs", "LINK", "b"),
              "[Prefs]\r\nLINK=b\r\n[Time]\r\n");
    // A section whose last line ends the text without a break gets one first.
    EXPECT_EQ(Written("[Prefs]\nREASON=a", "Prefs", "LINK", "b"),
              "[Prefs]\nREASON=a\r\nLINK=b\r\n");
}

TEST(ProfileAdditions, ANewSectionGoesAtTheEnd) {
    EXPECT_EQ(Written("", "Time", "TIME", "0"), "[Time]\r\nTIME=0\r\n");
    EXPECT_EQ(Written("[Prefs]\r\nREASON=\r\n", "Time", "TIME", "0"),
              "[Prefs]\r\nREASON=\r\n[Time]\r\nTIME=0\r\n");
    EXPECT_EQ(Written("; only a comment", "Time", "TIME", "0"),
              "; only a comment\r\n[Time]\r\nTIME=0\r\n");
    EXPECT_EQ(Written("[Prefs]\nA=1\n\n", "Time", "TIME", "0"),
              "[Prefs]\nA=1\n\n[Time]\r\nTIME=0\r\n");
}

TEST(ProfileAdditions, TheFiveResetEntriesFromNothing) {
    std::string text;
    text = Written(text, "Time", "TIME", "0");
    text = Written(text, "Prefs", "REASON", "");
    text = Written(text, "Prefs", "LINK", "");
    text = Written(text, "Prefs", "TEXT", "");
    text = Written(text, "Checks", "CHECKED", "UnChecked");
    EXPECT_EQ(text, "[Time]\r\nTIME=0\r\n[Prefs]\r\nREASON=\r\nLINK=\r\nTEXT=\r\n"
                    "[Checks]\r\nCHECKED=UnChecked\r\n");
}

TEST(ProfilePreservation, EveryOtherLineStaysByteForByte) {
    const std::string before = "; my settings\n"
                               "\n"
                               "[Other]\r"
                               "  Colour = red  \r"
                               "#x=1\n"
                               "[Prefs]\r\n"
                               "  reason =  old \t\r\n"
                               "junk line\r\n"
                               "\r\n"
                               "[Prefs]\n"
                               "REASON=second\n"
                               "\x1A";
    const std::string after = Written(before, "Prefs", "REASON", "new");
    const std::size_t at = before.find("  reason");
    const std::size_t end = before.find("\r\n", at);
    EXPECT_EQ(after, before.substr(0, at) + "reason=new" + before.substr(end));

    const std::string added = Written(before, "Other", "Size", "9");
    const std::size_t last = before.find("#x=1\n") + 5;
    EXPECT_EQ(added, before.substr(0, last) + "Size=9\r\n" + before.substr(last));
}

TEST(ProfileRoundTrips, WhatIsWrittenReadsBackExactly) {
    const std::string values[] = {"brb",
                                  " brb ",
                                  "\"brb\"",
                                  "'brb'",
                                  "\tbrb",
                                  "brb\x1A",
                                  "\"",
                                  "'",
                                  "\"x'",
                                  "\"\"",
                                  "'' ''",
                                  "a = b ; c",
                                  "[x]",
                                  ";x",
                                  "",
                                  "\xE9\x95\x9B",
                                  std::string(800, 'z')};
    for (const std::string& value : values) {
        const std::string text = Written("[Prefs]\r\nREASON=old\r\n", "Prefs", "REASON", value);
        EXPECT_EQ(Read(text, "Prefs", "reason"), value) << text;
        EXPECT_EQ(Read(Written("", "Prefs", "REASON", value), "Prefs", "reason"), value);
    }
}

TEST(ProfileRoundTrips, QuotesAreAddedOnlyWhereTheyAreNeeded) {
    EXPECT_EQ(Written("", "P", "K", "brb"), "[P]\r\nK=brb\r\n");
    EXPECT_EQ(Written("", "P", "K", "a b"), "[P]\r\nK=a b\r\n");
    EXPECT_EQ(Written("", "P", "K", "\"x'"), "[P]\r\nK=\"x'\r\n");
    EXPECT_EQ(Written("", "P", "K", " brb "), "[P]\r\nK=\" brb \"\r\n");
    EXPECT_EQ(Written("", "P", "K", "'x'"), "[P]\r\nK=\"'x'\"\r\n");
}

TEST(ProfileRefusals, NothingThatWouldBreakTheFilesStructureIsWritten) {
    const std::string text = "[Prefs]\r\nREASON=old\r\n";
    const std::string values[] = {"a\r\nINJ=1", "a\nb", "a\rb", std::string("a\0b", 3)};
    for (const std::string& value : values)
        EXPECT_FALSE(Write(text, "Prefs", "REASON", value).has_value());
    const std::string keys[] = {"", "  ", "A=B", ";A", "[A]", "A\nB", std::string("A\0B", 3)};
    for (const std::string& key : keys)
        EXPECT_FALSE(Write(text, "Prefs", key, "x").has_value()) << key;
    const std::string sections[] = {"", " ", "P\r\n[Q", std::string("P\0Q", 3)};
    for (const std::string& section : sections)
        EXPECT_FALSE(Write(text, section, "K", "x").has_value()) << section;
}

TEST(ProfileWide, Utf16TextFollowsTheSameRules) {
    const std::u16string text = u"[Prefs]\r\n reason = \"\u00e9t\u00e9 \" \n;c=1\n";
    EXPECT_EQ(profile::Read<char16_t>(text, u"PREFS", u"Reason"), u"\u00e9t\u00e9 ");
    EXPECT_EQ(profile::Write<char16_t>(text, u"Prefs", u"REASON", u"\u263a"),
              u"[Prefs]\r\nreason=\u263a\n;c=1\n");
    EXPECT_EQ(profile::Write<char16_t>(text, u"Time", u"TIME", u"0"),
              text + u"[Time]\r\nTIME=0\r\n");
    EXPECT_FALSE(profile::Write<char16_t>(text, u"Prefs", u"REASON", u"a\u000Ab").has_value());
}

TEST(ProfileEncoding, TheMarkTellsTheEncodingAndBytesSurviveTheRoundTrip) {
    EXPECT_EQ(profile::Decode("[P]").encoding, profile::Encoding::Ansi);
    EXPECT_EQ(profile::Decode("\xEF\xBB\xBF[P]").narrow, "[P]");
    EXPECT_EQ(profile::Decode("\xEF\xBB\xBF[P]").encoding, profile::Encoding::Utf8);
    EXPECT_EQ(profile::Decode(std::string("\xFF\xFE[\0P\0", 6)).wide, u"[P");
    EXPECT_EQ(profile::Decode(std::string("\xFE\xFF\0[\0P", 6)).wide, u"[P");
    EXPECT_EQ(profile::Decode(std::string("\xFE\xFF\0[\0P", 6)).encoding,
              profile::Encoding::Utf16Be);
    const std::string files[] = {"",
                                 "\xEF\xBB",
                                 "\xEF\xBB\xBF",
                                 "\xFF\xFE",
                                 std::string("\xFF\xFE[\0P\0]", 7),
                                 std::string("\xFE\xFF\xD8\x00\x00", 5),
                                 "plain \x80\xFF text"};
    for (const std::string& bytes : files)
        EXPECT_EQ(profile::Encode(profile::Decode(bytes)), bytes);
}

} // namespace
