#pragma once
// The idle counter's step: Text1 holds the minutes as text, and each tick
// reads it as a number, adds one and writes it back.
#include <string>

namespace counter {

// The text one more than the given one, as the shortest text of at most 15
// significant digits (C's "%.15g" layout, whatever the locale): whole numbers
// below 1e15 as plain digits, an exponent from 1e15 on and below 1e-4
// ("1e+15", "1e-05"). The sum is exact and rounded once, to even on a tie.
//
// The text is read as a decimal number: optional blanks, an optional sign,
// digits with an optional decimal point and an optional exponent, optional
// blanks. Anything else, or a magnitude past 1.7976931348623157e308 (the
// largest double), is no number: the count goes on from 0, so "1" comes back.
std::wstring Step(const std::wstring& text);

} // namespace counter
