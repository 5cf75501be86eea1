#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// Reads a number text the way the calculator's fields hold it, whatever the
// system locale: optional minus, digits with at most one decimal comma (digits
// on at least one side), optional exponent "E5", "e-3". Blanks around the
// number are allowed. Anything else, and any value beyond the range of a
// double, gives no value. Values too small for a double read as zero.
std::optional<double> parseNumber(std::string_view text);

// Shortest general form with a decimal comma: 15 significant digits at most,
// fixed or exponent form as printf's %.15G picks, no trailing zeros, no
// grouping. 12.5 → "12,5", 1e16 → "1E+16". Negative zero shows as "0";
// a value that is not finite gives the empty text.
std::string formatNumber(double value);

} // namespace sheetmass
