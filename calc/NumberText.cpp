#include "calc/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace sheetmass {
namespace {

using Limits = std::numeric_limits<long long>;

// Past this scale no double is near; from_chars is spared the text.
constexpr long long kScaleBeyondDoubles = 400;

// Positions and exponents of a pasted text of millions of characters must
// still add up on the right side of the double range, so sums stop at the
// ends of long long instead of wrapping.
long long saturatedSum(long long a, long long b) {
    if (b > 0 && a > Limits::max() - b)
        return Limits::max();
    if (b < 0 && a < Limits::min() - b)
        return Limits::min();
    return a + b;
}

long long length(std::string_view digits) {
    return static_cast<long long>(digits.size());
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool takeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

std::string_view takeDigits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    const std::string_view digits = text.substr(0, n);
    text.remove_prefix(n);
    return digits;
}

std::string_view withoutLeadingZeros(std::string_view digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<NumberParts> splitNumber(std::string_view text) {
    text = trimBlanks(text);
    NumberParts parts;
    parts.negative = takeChar(text, '-');
    const std::string_view whole = takeDigits(text);
    const std::string_view fraction = takeChar(text, ',') ? takeDigits(text) : std::string_view();
    if (whole.empty() && fraction.empty())
        return std::nullopt;

    long long exponent = 0;
    if (takeChar(text, 'E') || takeChar(text, 'e')) {
        const bool negative = takeChar(text, '-');
        if (!negative)
            takeChar(text, '+');
        const std::string_view digits = takeDigits(text);
        if (digits.empty())
            return std::nullopt;
        for (const char c : digits)
            exponent = exponent > Limits::max() / 10 ? Limits::max()
                                                     : saturatedSum(exponent * 10, c - '0');
        if (negative)
            exponent = -exponent;
    }
    if (!text.empty())
        return std::nullopt;

    parts.whole = withoutLeadingZeros(whole);
    if (!parts.whole.empty()) {
        parts.fraction = fraction;
        parts.scale = saturatedSum(exponent, length(parts.whole));
    } else {
        parts.fraction = withoutLeadingZeros(fraction);
        if (!parts.fraction.empty())
            parts.scale = saturatedSum(exponent, length(parts.fraction) - length(fraction));
    }
    return parts;
}

std::optional<double> toDouble(const NumberParts& parts) {
    const double zero = parts.negative ? -0.0 : 0.0;
    if (parts.digitCount() == 0 || parts.scale < -kScaleBeyondDoubles)
        return zero;
    if (parts.scale > kScaleBeyondDoubles)
        return std::nullopt;
    // from_chars in its own form "0.<digits>e<scale>", which never follows the
    // locale; the grammar stays with splitNumber, since from_chars alone would
    // take "inf", "nan" and forms the fields never show. A field's number
    // fits on the stack; only a pasted one takes the heap.
    char shortText[48];
    std::string longText;
    const std::size_t room = parts.digitCount() + 7; // "0.", 'e' and a scale of up to -400
    char* const first =
        room <= sizeof shortText ? shortText : (longText.resize(room), longText.data());
    char* last = std::copy_n("0.", 2, first);
    last = std::copy(parts.whole.begin(), parts.whole.end(), last);
    last = std::copy(parts.fraction.begin(), parts.fraction.end(), last);
    *last++ = 'e';
    last = std::to_chars(last, first + room, parts.scale).ptr;

    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range && parts.scale < 0)
        return zero;
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return parts.negative ? -value : value;
}

std::optional<double> parseNumber(std::string_view text) {
    const auto parts = splitNumber(text);
    return parts ? toDouble(*parts) : std::nullopt;
}

std::string formatNumber(double value) {
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return "0";
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc())
        return {};
    std::string text(buffer, end);
    for (char& c : text) {
        if (c == '.')
            c = ',';
        else if (c == 'e')
            c = 'E';
    }
    return text;
}

} // namespace sheetmass
