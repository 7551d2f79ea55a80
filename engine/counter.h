#pragma once
// The idle counter's step: Text1 holds the minutes as text, and each tick
// reads it as a number, adds one and writes it back.
#include <optional>
#include <string>

namespace counter {

// The text as a decimal number: optional blanks, an optional sign, digits
// with an optional decimal point and an optional exponent, optional blanks.
// Nothing else is a number, and neither is a value past a double's range.
std::optional<double> Parse(const std::wstring& text);

// The shortest text of at most 15 significant digits, as C's "%.15g" in the
// "C" locale: whole numbers below 1e15 are plain digits; from 1e15 on (and
// below 1e-4) an exponent is written ("1e+15").
std::wstring Format(double value);

// The text one more than the given one. A text that is no number counts on
// from 0, so the tick writes "1" over it.
std::wstring Step(const std::wstring& text);

} // namespace counter
