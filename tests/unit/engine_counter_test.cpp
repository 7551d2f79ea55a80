// The idle counter's step: Text1's text plus one, as text.
#include "engine/counter.h"
#include <gtest/gtest.h>

namespace {

using counter::Format;
using counter::Parse;
using counter::Step;

TEST(CounterStep, WholeNumbersCountAsPlainDigits) {
    EXPECT_EQ(Step(L"0"), L"1");
    EXPECT_EQ(Step(L"41"), L"42");
    EXPECT_EQ(Step(L"100"), L"101");
    EXPECT_EQ(Step(L"9"), L"10");
    EXPECT_EQ(Step(L"99999999999999"), L"100000000000000");
    EXPECT_EQ(Step(L"999999999999998"), L"999999999999999");
}

TEST(CounterStep, FractionsAndSigns) {
    EXPECT_EQ(Step(L"2.5"), L"3.5");
    EXPECT_EQ(Step(L"-5"), L"-4");
    EXPECT_EQ(Step(L"-1"), L"0");
    EXPECT_EQ(Step(L"-0.5"), L"0.5");
    EXPECT_EQ(Step(L"-1.5"), L"-0.5");
    EXPECT_EQ(Step(L"+7"), L"8");
    EXPECT_EQ(Step(L".5"), L"1.5");
    EXPECT_EQ(Step(L"5."), L"6");
    EXPECT_EQ(Step(L"0012"), L"13");
    EXPECT_EQ(Step(L"2.50"), L"3.5");
    // 0.1 + 1 is 1.1000000000000000888 as a double: 15 digits hide the tail.
    EXPECT_EQ(Step(L"0.1"), L"1.1");
    EXPECT_EQ(Step(L"1e3"), L"1001");
    EXPECT_EQ(Step(L"25E-1"), L"3.5");
}

TEST(CounterStep, BlanksAroundTheNumberAreAllowed) {
    EXPECT_EQ(Step(L" 7 "), L"8");
    EXPECT_EQ(Step(L"\t12  "), L"13");
}

TEST(CounterStep, AnythingButANumberCountsOnFromZero) {
    for (const wchar_t* junk :
         {L"",      L"   ",  L"abc", L"1e400", L"-1e400",   L"12abc",  L"1 2",   L"1,000",
          L"- 5",   L"+-5",  L"--5", L".",     L"-",        L"e5",     L"1e",    L"1e+",
          L"1.2.3", L"0x10", L"inf", L"nan",   L"Infinity", L"\x0661", L"\xFF11"}) {
        EXPECT_EQ(Step(junk), L"1") << "counter text: \"" << junk << '"';
    }
}

TEST(CounterParse, ValuesTooSmallToHoldAreNoNumber) {
    EXPECT_FALSE(Parse(L"1e-400").has_value());
    EXPECT_EQ(Parse(L"1e-300").value_or(0), 1e-300);
}

TEST(CounterParse, IsCorrectlyRounded) {
    EXPECT_EQ(Parse(L"0.1").value_or(0), 0.1);
    EXPECT_EQ(Parse(L"9007199254740993").value_or(0), 9007199254740992.0);
    EXPECT_EQ(Parse(L"1.7976931348623157e308").value_or(0), 1.7976931348623157e308);
}

TEST(CounterFormat, FifteenSignificantDigitsAtMost) {
    EXPECT_EQ(Format(0.0), L"0");
    EXPECT_EQ(Format(123456789012345.0), L"123456789012345");
    EXPECT_EQ(Format(1.0 / 3.0), L"0.333333333333333");
    EXPECT_EQ(Format(2.0 / 3.0), L"0.666666666666667");
    EXPECT_EQ(Format(0.0001), L"0.0001");
    EXPECT_EQ(Format(0.00001), L"1e-05");
}

// From 1e15 on a whole number has more than 15 digits, and adding one no
// longer shows in the first 15: the text takes an exponent and stays put.
TEST(CounterFormat, FromTenToTheFifteenTheTextTakesAnExponent) {
    EXPECT_EQ(Step(L"999999999999999"), L"1e+15");
    EXPECT_EQ(Step(L"1e+15"), L"1e+15");
    EXPECT_EQ(Step(L"1234567890123456"), L"1.23456789012346e+15");
    EXPECT_EQ(Step(L"-1e15"), L"-999999999999999");
    EXPECT_EQ(Step(L"-2e15"), L"-2e+15");
    EXPECT_EQ(Step(L"1e300"), L"1e+300");
}

TEST(CounterStep, EveryTextItWritesReadsBack) {
    for (const wchar_t* text : {L"0", L"2.5", L"-3.25", L"99999999999999", L"1e+15", L"0.1"}) {
        const std::wstring next = Step(text);
        ASSERT_TRUE(Parse(next).has_value()) << "written: " << next;
        EXPECT_NE(Step(next), L"1") << "written: " << next;
    }
}

} // namespace
