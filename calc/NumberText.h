#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// A number text taken apart. Its value is ±0,d₁d₂…dₙ × 10^scale, where d₁…dₙ
// are its digits from the first one that is not 0, the comma left out; they
// stay views into the text, as the runs before and after the comma. No digits
// means zero, whose scale is 0.
struct NumberParts {
    bool negative = false;
    std::string_view whole;    // before the comma, without leading zeros
    std::string_view fraction; // after it; without leading zeros too when `whole` is empty
    long long scale = 0;       // stops at the ends of long long, on the side of the true value

    std::size_t digitCount() const { return whole.size() + fraction.size(); }
    char digit(std::size_t i) const {
        return i < whole.size() ? whole[i] : fraction[i - whole.size()];
    }
};

// The one grammar of the fields' number texts, whatever the system locale:
// optional minus, digits with at most one decimal comma (digits on at least
// one side), optional exponent "E5", "e-3", and blanks around the number.
// Anything else gives no parts.
std::optional<NumberParts> splitNumber(std::string_view text);

// The double nearest to the parts. Values too small for a double read as zero
// of their sign; values beyond its range give no value.
std::optional<double> toDouble(const NumberParts& parts);

// splitNumber, then toDouble.
std::optional<double> parseNumber(std::string_view text);

// 10^0 … 10^22, every power of ten a double holds exactly: the one table
// of them. Each product is exact, so the compiler's are the true powers.
inline constexpr auto kTens = [] {
    std::array<double, 23> tens{};
    tens[0] = 1;
    for (std::size_t i = 1; i < tens.size(); ++i)
        tens[i] = tens[i - 1] * 10;
    return tens;
}();

// 10^n as a whole number, n from 0 to 19.
constexpr std::uint64_t wholeTenTo(int n) {
    return static_cast<std::uint64_t>(kTens[static_cast<std::size_t>(n)]);
}

// The 15 significant digits formatNumber shows of a positive finite value,
// as one whole of exactly 15 digits and the power of ten of its first: the
// value shown is digits × 10^(exponent − 14).
struct ShownDigits {
    std::uint64_t digits;
    int exponent;
};
ShownDigits shownDigits(double magnitude);

// The parts of formatNumber's text of a finite value, without the text:
// the digits are written to `digits`, which the parts view.
using DigitBuffer = std::array<char, 24>;
NumberParts shownParts(double value, DigitBuffer& digits);

// Shortest general form with a decimal comma: 15 significant digits at most,
// fixed or exponent form as printf's %.15G picks, no trailing zeros, no
// grouping. 12.5 → "12,5", 1e16 → "1E+16". Negative zero shows as "0";
// a value that is not finite gives the empty text.
std::string formatNumber(double value);

// formatNumber of the double nearest to ±whole / 10^places, for a whole of
// at most 15 significant digits: they are the digits that double shows, so
// they are not worked out again.
std::string formatDecimal(bool negative, std::uint64_t whole, int places);

} // namespace sheetmass
