// The idle counter's step: Text1's text plus one, as text.
#include "engine/counter.h"
#include <gtest/gtest.h>
#include <string>

namespace {

using counter::Step;

TEST(CounterStep, WholeNumbersCountAsPlainDigits) {
    EXPECT_EQ(Step(L"0"), L"1");
    EXPECT_EQ(Step(L"41"), L"42");
    EXPECT_EQ(Step(L"100"), L"101");
    EXPECT_EQ(Step(L"9"), L"10");
    EXPECT_EQ(Step(L"99999999999999"), L"100000000000000");
    EXPECT_EQ(Step(L"999999999999998"), L"999999999999999");
}

TEST(CounterStep, FractionsSignsAndExponents) {
    EXPECT_EQ(Step(L"2.5"), L"3.5");
    EXPECT_EQ(Step(L"-5"), L"-4");
    EXPECT_EQ(Step(L"-1"), L"0");
    EXPECT_EQ(Step(L"-0"), L"1");
    EXPECT_EQ(Step(L"-0.5"), L"0.5");
    EXPECT_EQ(Step(L"-1.5"), L"-0.5");
    EXPECT_EQ(Step(L"-1.0001"), L"-0.0001");
    EXPECT_EQ(Step(L"-1.00001"), L"-1e-05");
    EXPECT_EQ(Step(L"+7"), L"8");
    EXPECT_EQ(Step(L".5"), L"1.5");
    EXPECT_EQ(Step(L"5."), L"6");
    EXPECT_EQ(Step(L"0012"), L"13");
    EXPECT_EQ(Step(L"2.50"), L"3.5");
    EXPECT_EQ(Step(L"0.1"), L"1.1");
    EXPECT_EQ(Step(L"1e3"), L"1001");
    EXPECT_EQ(Step(L"25E-1"), L"3.5");
    EXPECT_EQ(Step(L"0.00012"), L"1.00012");
}

TEST(CounterStep, BlanksAroundTheNumberAreAllowed) {
    EXPECT_EQ(Step(L" 7 "), L"8");
    EXPECT_EQ(Step(L"\t12  "), L"13");
}

TEST(CounterStep, AnythingButANumberCountsOnFromZero) {
    for (const wchar_t* junk : {L"",         L"   ",
                                L"abc",      L"1e400",
                                L"-1e400",   L"12abc",
                                L"1 2",      L"1,000",
                                L"- 5",      L"+-5",
                                L"--5",      L".",
                                L"-",        L"e5",
                                L"1e",       L"1e+",
                                L"1.2.3",    L"0x10",
                                L"inf",      L"nan",
                                L"Infinity", L"1e99999999999999999999",
                                L"\x0661",   L"\xFF11"}) {
        EXPECT_EQ(Step(junk), L"1") << "counter text: \"" << junk << '"';
    }
}

TEST(CounterStep, RoundsToFifteenDigitsHalfToEven) {
    EXPECT_EQ(Step(L"0.12345678901234449"), L"1.12345678901234");
    EXPECT_EQ(Step(L"0.1234567890123455"), L"1.12345678901235");
    EXPECT_EQ(Step(L"0.000000000000025"), L"1.00000000000002"); // tie, even stays
    EXPECT_EQ(Step(L"0.000000000000035"), L"1.00000000000004"); // tie, odd goes up
    EXPECT_EQ(Step(L"999999999999998.5"), L"1e+15");            // carries into a 16th digit
    // Too small to show next to 1, either side of it.
    EXPECT_EQ(Step(L"1e-17"), L"1");
    EXPECT_EQ(Step(L"-1e-17"), L"1");
    EXPECT_EQ(Step(L"1e-400"), L"1");
    EXPECT_EQ(Step(L"1e-99999999999"), L"1");
}

// From 1e15 on a whole number has more than 15 digits, and adding one no
// longer shows in the first 15: the text takes an exponent and stays put.
TEST(CounterStep, FromTenToTheFifteenTheTextTakesAnExponent) {
    EXPECT_EQ(Step(L"999999999999999"), L"1e+15");
    EXPECT_EQ(Step(L"1e+15"), L"1e+15");
    EXPECT_EQ(Step(L"1234567890123456"), L"1.23456789012346e+15");
    EXPECT_EQ(Step(L"-1e15"), L"-999999999999999");
    EXPECT_EQ(Step(L"-2e15"), L"-2e+15");
    EXPECT_EQ(Step(L"1e300"), L"1e+300");
}

TEST(CounterStep, TheLargestDoubleIsTheEdgeOfTheRange) {
    EXPECT_EQ(Step(L"1.7976931348623157e308"), L"1.79769313486232e+308");
    EXPECT_EQ(Step(L"-1.7976931348623157e308"), L"-1.79769313486232e+308");
    EXPECT_EQ(Step(L"1.79769313486231571e308"), L"1");
    EXPECT_EQ(Step(L"17976931348623157" + std::wstring(292, L'0')), L"1.79769313486232e+308");
    // Rounded to 15 digits the largest double lies past it, so the count
    // written there counts on from 0 at the next tick.
    EXPECT_EQ(Step(L"1.79769313486232e+308"), L"1");
}

TEST(CounterStep, EveryTextItWritesReadsBack) {
    for (const wchar_t* text :
         {L"0", L"2.5", L"-3.25", L"99999999999999", L"1e+15", L"0.1", L"-1.00001", L"1e300"}) {
        const std::wstring next = Step(text);
        EXPECT_NE(Step(next), L"1") << "written: " << next;
    }
}

} // namespace
