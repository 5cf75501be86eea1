#include "calc/Rounding.h"

#include "calc/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace sheetmass {
namespace {

constexpr int kExactPlaces = 15;

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

// roundDecimal for a result of at most 15 digits, in whole numbers: the
// result is ±whole / 10^d, the whole and 10^d exact in doubles, so the one
// division rounds as from_chars does.
struct Short {
    bool negative;
    std::uint64_t whole;
};
// As below: a half or more goes away from zero for x > 0, one below a half
// towards it for x < 0.
Short cut(bool negative, std::uint64_t whole, bool halfOrMore) {
    if (!negative && halfOrMore)
        ++whole;
    else if (negative && !halfOrMore && whole > 0)
        --whole;
    return {negative && whole != 0, whole};
}

Short roundShort(const NumberParts& x, long long kept) {
    std::uint64_t whole = 0;
    for (long long i = 0; i < kept; ++i)
        whole =
            whole * 10 + (i < static_cast<long long>(x.digitCount())
                              ? static_cast<unsigned>(x.digit(static_cast<std::size_t>(i)) - '0')
                              : 0);
    const char firstDropped = kept >= 0 && kept < static_cast<long long>(x.digitCount())
                                  ? x.digit(static_cast<std::size_t>(kept))
                                  : '0';
    return cut(x.negative, whole, firstDropped >= '5');
}

double valueOf(Short rounded, int places) {
    const double value =
        static_cast<double>(rounded.whole) / kTens[static_cast<std::size_t>(places)];
    return rounded.negative ? -value : value;
}

// Fix(x · 10^d + 0.5) / 10^d with x the exact decimal value of the parts.
// The parts read as a double, so their scale is small enough to add d to.
std::optional<double> roundDecimal(const NumberParts& x, int places) {
    if (x.digitCount() == 0)
        return 0.0;
    const long long kept = x.scale + places; // digits of |x| · 10^d before its point
    const auto count = static_cast<long long>(x.digitCount());
    if (kept <= kExactPlaces)
        return valueOf(roundShort(x, kept), places);
    std::string whole; // integer part of |x| · 10^d
    char firstDropped = '0';
    if (kept <= 0) {
        whole = "0";
        if (kept == 0)
            firstDropped = x.digit(0);
    } else {
        for (long long i = 0; i < kept; ++i)
            whole += i < count ? x.digit(static_cast<std::size_t>(i)) : '0';
        if (kept < count)
            firstDropped = x.digit(static_cast<std::size_t>(kept));
    }
    const bool halfOrMore = firstDropped >= '5';
    // For x < 0 the formula truncates -|x|·10^d + 0.5 toward zero, which keeps
    // the whole part at a half or more and drops one below it.
    if (!x.negative) {
        if (halfOrMore)
            increment(whole);
    } else if (!halfOrMore) {
        if (isZero(whole))
            return 0.0;
        decrement(whole);
    }
    if (isZero(whole))
        return 0.0;
    std::string scientific = whole + "e-" + std::to_string(places);
    double value = 0;
    auto [end, ec] =
        std::from_chars(scientific.data(), scientific.data() + scientific.size(), value);
    if (ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return x.negative ? -value : value;
}

// roundShown on a number taken apart.
std::optional<double> roundParts(const NumberParts& parts, double places) {
    const bool exactPlaces = places >= 0 && places <= kExactPlaces && places == std::floor(places);
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
    // A result of at most 15 digits is cut from the 15 the value shows, as
    // whole numbers, and shown from its own.
    if (value != 0 && places >= 0 && places <= kExactPlaces && places == std::floor(places)) {
        const int d = static_cast<int>(places);
        const ShownDigits shown = shownDigits(std::fabs(value));
        const int kept = shown.exponent + 1 + d; // digits before the cut
        if (kept <= kExactPlaces) {
            const std::uint64_t whole =
                kept > 0 ? shown.digits / wholeTenTo(kExactPlaces - kept) : 0;
            const std::uint64_t firstDropped =
                kept >= 0 && kept < kExactPlaces
                    ? shown.digits / wholeTenTo(kExactPlaces - 1 - kept) % 10
                    : 0;
            const Short rounded = cut(value < 0, whole, firstDropped >= 5);
            return formatDecimal(rounded.negative, rounded.whole, d);
        }
    }
    DigitBuffer digits;
    const auto rounded = roundParts(shownParts(value, digits), places);
    return rounded ? formatNumber(*rounded) : std::string();
}

} // namespace sheetmass
