#pragma once

#include <string>

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

} // namespace sheetmass
