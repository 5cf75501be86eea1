#include "calc/NumberText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
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
    const std::string_view digits(text.data(), n);
    text.remove_prefix(n);
    return digits;
}

std::string_view withoutLeadingZeros(std::string_view digits) {
    while (!digits.empty() && digits.front() == '0')
        digits.remove_prefix(1);
    return digits;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

constexpr std::uint64_t kExactWhole = std::uint64_t{1} << 53;

// The magnitude of a short number: its digits as a whole number and its
// power of ten both held exactly, one multiplication or division rounds
// once, as from_chars does. No value for the rest.
std::optional<double> exactlyRead(const NumberParts& parts) {
    const std::size_t count = parts.digitCount();
    if (count > 15)
        return std::nullopt;
    std::uint64_t whole = 0;
    for (const char c : parts.whole)
        whole = whole * 10 + static_cast<unsigned>(c - '0');
    for (const char c : parts.fraction)
        whole = whole * 10 + static_cast<unsigned>(c - '0');
    const long long power = parts.scale - static_cast<long long>(count);
    if (power > 22 || power < -22 || whole > kExactWhole)
        return std::nullopt;
    const double digits = static_cast<double>(whole);
    const auto exact = kTens[static_cast<std::size_t>(power < 0 ? -power : power)];
    return power < 0 ? digits / exact : digits * exact;
}

// The significant digits of a value and the power of ten of the first.
struct Digits {
    char text[24];
    int count;
    int exponent;
};

// Reads to_chars' scientific form "d.ddde±x".
Digits digitsOf(const char* first, const char* last) {
    Digits d{};
    const char* p = first;
    for (; p != last && *p != 'e'; ++p)
        if (*p != '.')
            d.text[d.count++] = *p;
    std::from_chars(p + 1 + (p[1] == '+'), last, d.exponent);
    return d;
}

__extension__ using Wide = unsigned __int128;

constexpr std::uint64_t kLeast15 = wholeTenTo(14); // the smallest whole of 15 digits
constexpr int kMostFive = 27;                      // 5^27 < 2^63
// 10^n for n from -13 to 14: a negative power as the one division that
// rounds its true value, as its literal does.
double tenTo(int n) {
    return n >= 0 ? kTens[static_cast<std::size_t>(n)] : 1 / kTens[static_cast<std::size_t>(-n)];
}
// "00", "01" … "99": the digits of a whole written two at a time.
constexpr auto kPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();
constexpr auto kFives = [] {
    std::array<std::uint64_t, kMostFive + 1> fives{};
    fives[0] = 1;
    for (std::size_t i = 1; i < fives.size(); ++i)
        fives[i] = fives[i - 1] * 5;
    return fives;
}();

// The 15 significant digits of a positive value from 10^-13 up to 10^15, as
// the nearest whole N of 15 digits times 10^(exponent - 14), the tie going
// to the even N: the value times a power of ten is exact in 128 bits, so
// the rounding sees the true remainder. No digits outside that range.
std::optional<ShownDigits> exactDigits(double magnitude) {
    if (!(magnitude >= 1e-13 && magnitude < 1e15))
        return std::nullopt;
    // A normal double: 52 stored bits of the mantissa, the exponent above.
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    const int binary = static_cast<int>(bits >> 52) - 1075; // magnitude = mantissa · 2^binary
    // log10(2) ≈ 78913 / 2^18 guesses the decimal exponent or one below it;
    // the powers of ten in doubles mostly tell which, the whole surely.
    int exponent = ((binary + 52) * 78913) >> 18;
    if (exponent < 14 && magnitude >= tenTo(exponent + 1))
        ++exponent;
    for (int tries = 0; tries < 3; ++tries) {
        const int power = 14 - exponent; // 0 … 27
        if (power < 0 || power > kMostFive) {
            exponent += power < 0 ? 1 : -1;
            continue;
        }
        const Wide five = kFives[static_cast<std::size_t>(power)];
        const Wide scaled = Wide{mantissa} * five; // times 2^(binary + power)
        const int shift = binary + power;
        Wide whole = 0;
        bool above = false, half = false;
        if (shift >= 0) {
            whole = shift >= 64 ? Wide{kLeast15} * 10 : scaled << shift;
        } else if (-shift >= 127) {
            whole = 0;
            above = scaled != 0;
        } else {
            whole = scaled >> -shift;
            const Wide rest = scaled - (whole << -shift);
            const Wide halfWay = Wide{1} << (-shift - 1);
            above = rest > halfWay;
            half = rest == halfWay;
        }
        if (whole >= Wide{kLeast15} * 10) {
            ++exponent;
            continue;
        }
        if (whole < kLeast15) {
            --exponent;
            continue;
        }
        auto n = static_cast<std::uint64_t>(whole);
        if (above || (half && n % 2 == 1))
            ++n;
        if (n == kLeast15 * 10) {
            n = kLeast15;
            ++exponent;
        }
        return ShownDigits{n, exponent};
    }
    return std::nullopt;
}

// The value's 15 significant digits, rounded as printf rounds them, without
// trailing zeros.
Digits fifteenDigits(double magnitude) {
    const ShownDigits shown = shownDigits(magnitude);
    Digits d{};
    d.count = 15;
    d.exponent = shown.exponent;
    std::uint64_t n = shown.digits;
    for (int i = 13; i > 0; i -= 2, n /= 100)
        std::copy_n(&kPairs[n % 100 * 2], 2, &d.text[i]);
    d.text[0] = static_cast<char>('0' + n);
    while (d.count > 1 && d.text[d.count - 1] == '0')
        --d.count;
    return d;
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
    if (const auto exact = exactlyRead(parts))
        return parts.negative ? -*exact : *exact;
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
    // Most fields hold a plain short number, "-0,25" or "1500": read in one
    // pass, exactly as the parts would be.
    const bool negative = !text.empty() && text.front() == '-';
    const char* p = text.data() + (negative ? 1 : 0);
    const char* const end = text.data() + text.size();
    std::uint64_t whole = 0;
    const char* const first = p;
    for (; p != end && isDigit(*p); ++p)
        whole = whole * 10 + static_cast<unsigned>(*p - '0');
    std::ptrdiff_t digits = p - first;
    std::ptrdiff_t decimals = 0;
    if (p != end && *p == ',') {
        const char* const fraction = ++p;
        for (; p != end && isDigit(*p); ++p)
            whole = whole * 10 + static_cast<unsigned>(*p - '0');
        decimals = p - fraction;
        digits += decimals;
    }
    if (p == end && digits > 0 && digits <= 15) {
        const double value = static_cast<double>(whole) / kTens[static_cast<std::size_t>(decimals)];
        return negative ? -value : value;
    }
    const auto parts = splitNumber(text);
    return parts ? toDouble(*parts) : std::nullopt;
}

ShownDigits shownDigits(double magnitude) {
    // A whole value, as zero places make a mass, has its digits at hand.
    if (magnitude >= 1 && magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        const auto whole = static_cast<std::uint64_t>(magnitude);
        int exponent = 0;
        while (exponent < 14 && whole >= wholeTenTo(exponent + 1))
            ++exponent;
        return {whole * wholeTenTo(14 - exponent), exponent};
    }
    if (const auto exact = exactDigits(magnitude))
        return *exact;
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14)
            .ptr;
    const Digits d = digitsOf(buffer, end);
    std::uint64_t whole = 0;
    for (int i = 0; i < 15; ++i)
        whole = whole * 10 + static_cast<unsigned>(i < d.count ? d.text[i] - '0' : 0);
    return {whole, d.exponent};
}

NumberParts shownParts(double value, DigitBuffer& digits) {
    NumberParts parts;
    if (value == 0)
        return parts;
    const Digits d = fifteenDigits(std::fabs(value));
    std::copy_n(d.text, d.count, digits.begin());
    parts.negative = value < 0;
    parts.whole = std::string_view(digits.data(), static_cast<std::size_t>(d.count));
    parts.scale = d.exponent + 1;
    return parts;
}

namespace {

// The text of ±digits × 10^exponent: fixed or exponent form as %.15G picks
// them.
std::string textOf(bool negative, const Digits& d) {
    const std::string_view digits(d.text, static_cast<std::size_t>(d.count));
    char text[40];
    char* end = text;
    const auto put = [&](std::string_view run) { end = std::copy(run.begin(), run.end(), end); };
    if (negative)
        *end++ = '-';
    if (d.exponent < -4 || d.exponent >= 15) {
        *end++ = digits.front();
        if (digits.size() > 1) {
            *end++ = ',';
            put(digits.substr(1));
        }
        put(d.exponent < 0 ? "E-" : "E+");
        const int power = d.exponent < 0 ? -d.exponent : d.exponent;
        if (power < 10)
            *end++ = '0';
        end = std::to_chars(end, text + sizeof text, power).ptr;
    } else if (d.exponent < 0) {
        put("0,");
        end = std::fill_n(end, -d.exponent - 1, '0');
        put(digits);
    } else {
        const auto whole = static_cast<std::size_t>(d.exponent) + 1;
        put(digits.substr(0, whole));
        if (digits.size() > whole) {
            *end++ = ',';
            put(digits.substr(whole));
        } else {
            end = std::fill_n(end, whole - digits.size(), '0');
        }
    }
    return std::string(text, end);
}

} // namespace

std::string formatNumber(double value) {
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return "0";
    return textOf(value < 0, fifteenDigits(std::fabs(value)));
}

std::string formatDecimal(bool negative, std::uint64_t whole, int places) {
    if (whole == 0)
        return "0";
    Digits d{};
    d.count = static_cast<int>(std::to_chars(d.text, d.text + sizeof d.text, whole).ptr - d.text);
    d.exponent = d.count - 1 - places;
    while (d.text[d.count - 1] == '0')
        --d.count;
    return textOf(negative, d);
}

} // namespace sheetmass
