#include "engine/counter.h"
#include <algorithm>
#include <optional>
#include <string_view>

// Decimal arithmetic on digit strings, not doubles: exact, the same in every
// build, and without the C library's conversions, which follow the locale
// (strtod, printf) or weigh hundreds of kilobytes (from_chars, to_chars).
namespace counter {
namespace {

constexpr size_t kSignificant = 15;
constexpr long kExponentCap = 100000; // far past any double, and no overflow
// The largest double to 17 digits: anything bigger is past the range.
constexpr const char* kLargestDigits = "17976931348623157";
constexpr long kLargestPower = 308;

// sign * digits * 10^exponent; digits have no leading zeros, and zero has none.
struct Decimal {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The power of ten of the leading digit (of a non-zero number).
long LeadingPower(const Decimal& d) {
    return d.exponent + static_cast<long>(d.digits.size()) - 1;
}

void Normalize(Decimal& d) {
    const size_t first = d.digits.find_first_not_of('0');
    d.digits.erase(0, first == std::string::npos ? d.digits.size() : first);
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        ++d.exponent;
    }
    if (d.digits.empty()) d = Decimal{};
}

bool PastTheRange(const Decimal& d) {
    if (d.digits.empty()) return false;
    const long power = LeadingPower(d);
    if (power != kLargestPower) return power > kLargestPower;
    // Same power: compare digit by digit, the shorter padded with zeros.
    const std::string_view largest = kLargestDigits;
    for (size_t i = 0; i < std::max(d.digits.size(), largest.size()); ++i) {
        const char mine = i < d.digits.size() ? d.digits[i] : '0';
        const char limit = i < largest.size() ? largest[i] : '0';
        if (mine != limit) return mine > limit;
    }
    return false;
}

// Appends the digits at text[i...] to out and moves i past them.
size_t TakeDigits(const std::wstring& text, size_t& i, std::string& out) {
    const size_t from = i;
    for (; i < text.size() && IsDigit(text[i]); ++i) out += static_cast<char>(text[i]);
    return i - from;
}

std::optional<Decimal> Parse(const std::wstring& text) {
    size_t i = 0, end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    const std::wstring s = text.substr(i, end - i);

    Decimal d;
    i = 0;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) d.negative = s[i++] == L'-';
    size_t count = TakeDigits(s, i, d.digits);
    if (i < s.size() && s[i] == L'.') {
        const size_t fraction = TakeDigits(s, ++i, d.digits);
        d.exponent = -static_cast<long>(fraction);
        count += fraction;
    }
    if (count == 0) return std::nullopt;
    if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
        long power = 0;
        const size_t from = i;
        for (; i < s.size() && IsDigit(s[i]); ++i)
            power = std::min(power * 10 + (s[i] - L'0'), kExponentCap);
        if (i == from) return std::nullopt;
        d.exponent += negative ? -power : power;
    }
    if (i != s.size()) return std::nullopt;
    Normalize(d);
    if (PastTheRange(d)) return std::nullopt;
    return d;
}

// Sum and difference of whole numbers as equally long digit strings.
std::string Add(const std::string& a, const std::string& b) {
    std::string sum(a.size(), '0');
    int carry = 0;
    for (size_t i = a.size(); i-- > 0;) {
        const int digit = (a[i] - '0') + (b[i] - '0') + carry;
        sum[i] = static_cast<char>('0' + digit % 10);
        carry = digit / 10;
    }
    return carry ? "1" + sum : sum;
}

std::string Subtract(const std::string& larger, const std::string& smaller) {
    std::string difference(larger.size(), '0');
    int borrow = 0;
    for (size_t i = larger.size(); i-- > 0;) {
        int digit = (larger[i] - '0') - (smaller[i] - '0') - borrow;
        borrow = digit < 0;
        difference[i] = static_cast<char>('0' + (digit + 10 * borrow));
    }
    return difference;
}

Decimal PlusOne(const Decimal& d) {
    // Below 1e-16 in size a number leaves no trace in 1 + it at 15 digits.
    if (d.digits.empty() || LeadingPower(d) < -16) return Decimal{false, "1", 0};
    // Both as whole numbers of units of 10^low, equally long.
    const long low = std::min(d.exponent, 0L);
    std::string a = d.digits + std::string(static_cast<size_t>(d.exponent - low), '0');
    std::string one = "1" + std::string(static_cast<size_t>(-low), '0');
    const size_t n = std::max(a.size(), one.size());
    a.insert(0, n - a.size(), '0');
    one.insert(0, n - one.size(), '0');

    Decimal sum;
    sum.exponent = low;
    if (!d.negative) {
        sum.digits = Add(a, one);
    } else if (a > one) { // -a + 1 = -(a - 1)
        sum.negative = true;
        sum.digits = Subtract(a, one);
    } else {
        sum.digits = Subtract(one, a);
    }
    Normalize(sum);
    return sum;
}

// Rounds to kSignificant digits, half to even.
void Round(Decimal& d) {
    if (d.digits.size() <= kSignificant) return;
    const std::string rest = d.digits.substr(kSignificant);
    d.exponent += static_cast<long>(rest.size());
    d.digits.resize(kSignificant);
    const bool aboveHalf =
        rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
    const bool tie = rest[0] == '5' && !aboveHalf;
    if (aboveHalf || (tie && (d.digits.back() - '0') % 2 == 1)) {
        size_t i = d.digits.size();
        while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
        if (i == 0)
            d.digits.insert(0, 1, '1'); // 999... became 1000...
        else
            ++d.digits[i - 1];
    }
    Normalize(d);
}

std::string Layout(const Decimal& d) {
    if (d.digits.empty()) return "0";
    const std::string& digits = d.digits;
    const long power = LeadingPower(d);
    std::string out = d.negative ? "-" : "";
    if (power < -4 || power >= static_cast<long>(kSignificant)) {
        out += digits[0];
        if (digits.size() > 1) out.append(".").append(digits, 1);
        out += power < 0 ? "e-" : "e+";
        const long magnitude = power < 0 ? -power : power;
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
    } else if (d.exponent >= 0) {
        out.append(digits).append(static_cast<size_t>(d.exponent), '0');
    } else if (power >= 0) {
        const auto whole = static_cast<size_t>(power + 1);
        out.append(digits, 0, whole).append(".").append(digits, whole);
    } else {
        out.append("0.").append(static_cast<size_t>(-power - 1), '0').append(digits);
    }
    return out;
}

} // namespace

std::wstring Step(const std::wstring& text) {
    Decimal next = PlusOne(Parse(text).value_or(Decimal{}));
    Round(next);
    const std::string out = Layout(next);
    return std::wstring(out.begin(), out.end());
}

} // namespace counter
