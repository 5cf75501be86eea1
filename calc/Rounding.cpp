#include "calc/Rounding.h"

#include "calc/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace sheetmass {
namespace {

constexpr int kExactPlaces = 15;

// The whole part of |x| · 10^d: one whole number when the result has at most
// 15 digits, its decimal digits beyond that.
void increment(std::uint64_t& whole) {
    ++whole;
}
void decrement(std::uint64_t& whole) {
    --whole;
}
bool isZero(std::uint64_t whole) {
    return whole == 0;
}

void increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

void decrement(std::string& digits) { // digits > 0
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '0') {
            --*it;
            return;
        }
        *it = '9';
    }
}

bool isZero(const std::string& digits) {
    return digits.find_first_not_of('0') == std::string::npos;
}

// The one rule, Fix(x · 10^d + 0.5), worked on the whole part of |x| · 10^d
// and whether what is cut off is a half or more. For x > 0 a half or more
// goes up; for x < 0 the formula truncates -|x| · 10^d + 0.5 toward zero,
// which keeps the whole part at a half or more and drops one below it.
// Gives whether the result is negative: a zero has no sign.
template <class Whole> bool fix(bool negative, Whole& whole, bool halfOrMore) {
    if (!negative && halfOrMore)
        increment(whole);
    else if (negative && !halfOrMore && !isZero(whole))
        decrement(whole);
    return negative && !isZero(whole);
}

// Whole d from 0 to 15 is worked in decimal; any other in doubles.
bool isExact(double places) {
    return places >= 0 && places <= kExactPlaces && places == std::floor(places);
}

// The digit of |x| at i from the first, 0 past the last.
char digitAt(const NumberParts& x, long long i) {
    return i < static_cast<long long>(x.digitCount()) ? x.digit(static_cast<std::size_t>(i)) : '0';
}

// |x| as 0,d₁d₂…d₁₆ × 10^scale, its first 16 digits as one whole: all the
// rule looks at when it keeps at most 15. From a text's parts, and from the
// 15 digits formatNumber shows of a value, so both take the one cut below.
struct Leading {
    bool negative;
    std::uint64_t digits;
    long long scale;
};

Leading leadingOf(const NumberParts& x) {
    const int count = static_cast<int>(std::min<std::size_t>(x.digitCount(), kExactPlaces + 1));
    std::uint64_t digits = 0;
    for (int i = 0; i < count; ++i)
        digits = digits * 10 + static_cast<unsigned>(x.digit(static_cast<std::size_t>(i)) - '0');
    return {x.negative, digits * wholeTenTo(kExactPlaces + 1 - count), x.scale};
}

Leading leadingOf(double value) { // finite, not 0
    const ShownDigits shown = shownDigits(std::fabs(value));
    return {value < 0, shown.digits * 10, shown.exponent + 1};
}

// ±whole / 10^d, the rounded value, for a whole of at most 15 digits.
struct Short {
    bool negative;
    std::uint64_t whole;
};

// The rule on |x| · 10^d, which has `kept` digits before its point, at most 15.
Short roundShort(const Leading& x, long long kept) {
    std::uint64_t whole = 0, firstDropped = 0;
    if (kept >= 0) {
        const auto cut = static_cast<int>(kept);
        whole = x.digits / wholeTenTo(kExactPlaces + 1 - cut);
        firstDropped = x.digits / wholeTenTo(kExactPlaces - cut) % 10;
    }
    const bool negative = fix(x.negative, whole, firstDropped >= 5);
    return {negative, whole};
}

// The whole and 10^d exact in doubles, so the one division rounds as
// from_chars does.
double valueOf(Short rounded, int places) {
    const double value =
        static_cast<double>(rounded.whole) / kTens[static_cast<std::size_t>(places)];
    return rounded.negative ? -value : value;
}

// The rule on |x| · 10^d of more than 15 digits before its point, `kept`.
std::optional<double> roundLong(const NumberParts& x, long long kept, int places) {
    std::string whole;
    for (long long i = 0; i < kept; ++i)
        whole += digitAt(x, i);
    const bool negative = fix(x.negative, whole, digitAt(x, kept) >= '5');
    std::string scientific = whole + "e-" + std::to_string(places);
    double value = 0;
    auto [end, ec] =
        std::from_chars(scientific.data(), scientific.data() + scientific.size(), value);
    if (ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

// Fix(x · 10^d + 0.5) / 10^d with x the exact decimal value of the parts.
// The parts read as a double, so their scale is small enough to add d to.
std::optional<double> roundDecimal(const NumberParts& x, int places) {
    if (x.digitCount() == 0)
        return 0.0;
    const long long kept = x.scale + places; // digits of |x| · 10^d before its point
    if (kept <= kExactPlaces)
        return valueOf(roundShort(leadingOf(x), kept), places);
    return roundLong(x, kept, places);
}

// roundShown on a number taken apart.
std::optional<double> roundParts(const NumberParts& parts, double places) {
    const bool exactPlaces = isExact(places);
    const int d = exactPlaces ? static_cast<int>(places) : 0;
    // Below 10^290 the value and its 10^d times are finite without asking.
    if (exactPlaces && parts.scale <= 290)
        return roundDecimal(parts, d);
    const auto x = toDouble(parts);
    if (!x)
        return std::nullopt;
    if (exactPlaces) {
        if (!std::isfinite(*x * kTens[static_cast<std::size_t>(d)]))
            return std::nullopt;
        return roundDecimal(parts, d);
    }
    // The formula itself: 10^d for a d that is not whole has no exact digits.
    const double scaled = std::trunc(*x * std::pow(10.0, places) + 0.5);
    const double value = scaled / std::pow(10.0, places);
    if (!std::isfinite(scaled) || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> roundShown(std::string_view shown, double places) {
    const auto parts = splitNumber(shown);
    return parts ? roundParts(*parts, places) : std::nullopt;
}

std::string roundedText(double value, double places) {
    if (!std::isfinite(value))
        return {};
    // A result of at most 15 digits is cut from the 15 the value shows and
    // shown from its own, with no double between.
    if (value != 0 && isExact(places)) {
        const int d = static_cast<int>(places);
        const Leading shown = leadingOf(value);
        if (const long long kept = shown.scale + d; kept <= kExactPlaces) {
            const Short rounded = roundShort(shown, kept);
            return formatDecimal(rounded.negative, rounded.whole, d);
        }
    }
    DigitBuffer digits;
    const auto rounded = roundParts(shownParts(value, digits), places);
    return rounded ? formatNumber(*rounded) : std::string();
}

} // namespace sheetmass
