#include "engine/counter.h"
#include <charconv>
#include <cmath>

namespace counter {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Copies the digits at text[i...] to out; returns how many there were.
size_t TakeDigits(const std::wstring& text, size_t& i, std::string& out) {
    size_t n = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++n) out += static_cast<char>(text[i]);
    return n;
}

// The number between the blanks, checked character by character, as ASCII
// for from_chars (which takes no '+', no blanks, but also "inf" and "nan").
std::optional<std::string> DecimalText(const std::wstring& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    const std::wstring number = text.substr(begin, end - begin);

    std::string out;
    size_t i = 0;
    if (i < number.size() && (number[i] == L'+' || number[i] == L'-')) {
        if (number[i] == L'-') out += '-';
        ++i;
    }
    size_t digits = TakeDigits(number, i, out);
    if (i < number.size() && number[i] == L'.') {
        out += '.';
        ++i;
        digits += TakeDigits(number, i, out);
    }
    if (digits == 0) return std::nullopt;
    if (i < number.size() && (number[i] == L'e' || number[i] == L'E')) {
        out += 'e';
        ++i;
        if (i < number.size() && (number[i] == L'+' || number[i] == L'-'))
            out += static_cast<char>(number[i++]);
        if (TakeDigits(number, i, out) == 0) return std::nullopt;
    }
    if (i != number.size()) return std::nullopt;
    return out;
}

} // namespace

std::optional<double> Parse(const std::wstring& text) {
    const std::optional<std::string> decimal = DecimalText(text);
    if (!decimal) return std::nullopt;
    double value = 0;
    const char* first = decimal->data();
    const char* last = first + decimal->size();
    // from_chars is locale-free and correctly rounded; it reports values past
    // the range (and ones too small to hold) as out of range.
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::wstring Format(double value) {
    // The longest such text, "-1.23456789012345e-308", is 22 characters.
    char buffer[32];
    char* end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
    return std::wstring(buffer, end);
}

std::wstring Step(const std::wstring& text) {
    return Format(Parse(text).value_or(0.0) + 1.0);
}

} // namespace counter
