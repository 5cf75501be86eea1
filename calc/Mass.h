#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// The nine inputs of the main window, as the texts its controls hold (UTF-8).
struct Inputs {
    std::string alloy;     // Комбо1: a grade of the table or a density
    std::string mode;      // Комбо2: one of the three thickness modes
    std::string thickness; // Текст1
    std::string upper;     // Текст2: upper deviation
    std::string lower;     // Текст3: lower deviation, normally negative
    std::string length;    // Текст4
    std::string width;     // Текст5
    std::string count;     // Текст6
    std::string places;    // Комбо3: decimal places of the result
};

inline constexpr const char* kModeNominal = "номиналу";
inline constexpr const char* kModeUpper = "центру верхнего отклонения";
inline constexpr const char* kModeLower = "центру нижнего отклонения";

// The text of the result field: the batch mass in kilograms rounded to the
// given places, "0" for an unusable alloy or mode, or the empty text when a
// field the calculation needs holds no number or the arithmetic overflows.
std::string massText(const Inputs& in);

// Fix(x · 10^d + 0.5) / 10^d on the value a result text shows. Whole d from 0
// to 15 is worked in decimal, so 1,005 at two places gives 1,01; any other d
// in doubles. No value when the arithmetic is not finite.
std::optional<double> roundShown(std::string_view shown, double places);

} // namespace sheetmass
