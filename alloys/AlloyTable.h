#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace sheetmass {

// One grade of the alloy list: its text as shown, and its density in g/cm³.
struct Alloy {
    std::string_view grade;
    double density;
};

inline constexpr std::size_t kAlloyCount = 94;

// In the order the alloy drop-down shows them. Texts are UTF-8, compared
// byte for byte: the trailing blanks, the Latin C of "АМцC (1401)" and the
// capital Г of "АМГ4 " are part of the grades as shipped.
// clang-format off
inline constexpr std::array<Alloy, kAlloyCount> kAlloys = {{
    {"1105", 2.8},
    {"1161", 2.77},
    {"1163", 2.77},
    {"1201", 2.85},
    {"1205", 2.85},
    {"1901", 2.81},
    {"1903", 2.81},
    {"1911", 2.8},
    {"1915", 2.77},
    {"1925", 2.77},
    {"1933", 2.83},
    {"1935", 2.78},
    {"1955", 2.78},
    {"1973", 2.85},
    {"RR50 ", 2.73},
    {"RR53B ", 2.73},
    {"А132 ", 2.68},
    {"АВ (1340)", 2.7},
    {"АД0 (1011)", 2.71},
    {"АД1 ", 2.71},
    {"АД31 (1340)", 2.71},
    {"АД33 ", 2.71},
    {"АД35 (1350)", 2.72},
    {"АК ", 2.66},
    {"АК12Д", 2.72},
    {"АК2 ", 2.8},
    {"АК4 (1140)", 2.77},
    {"АК41 (1141)", 2.8},
    {"АК4-1 АК4-1ч. ", 2.8},
    {"АК6 (1360)", 2.75},
    {"АК8 (1380)", 2.8},
    {"АЛ1", 2.75},
    {"АЛ10В ", 2.89},
    {"АЛ11", 2.94},
    {"АЛ12 ", 2.91},
    {"АЛ13 ", 2.63},
    {"АЛ14В ", 2.73},
    {"АЛ19 ", 2.78},
    {"АЛ2 ", 2.65},
    {"АЛ21", 2.83},
    {"АЛ22 ", 2.5},
    {"АЛ24 ", 2.74},
    {"АЛ25", 2.72},
    {"АЛ3 ", 2.7},
    {"АЛ32 ", 2.65},
    {"АЛ33 (ВАЛ1) ", 2.89},
    {"АЛ34 ", 2.63},
    {"АЛ4 ", 2.65},
    {"АЛ4М ", 2.72},
    {"АЛ5 ", 2.68},
    {"АЛ5-1 ", 2.68},
    {"АЛ6 ", 2.76},
    {"АЛ7 ", 2.81},
    {"АЛ8 ", 2.55},
    {"АЛ9", 2.66},
    {"АЛ9-1 ", 2.69},
    {"АМг ", 2.67},
    {"АМг0,7", 2.68},
    {"АМг1 (1510)", 2.7},
    {"АМг2 (1520)", 2.68},
    {"АМг3 (1530)", 2.67},
    {"АМГ4 ", 2.67},
    {"АМг5 (1550)", 2.65},
    {"АМг5П ", 2.65},
    {"АМг6 (1560)", 2.64},
    {"АМг7 ", 2.63},
    {"АМц (1400)", 2.73},
    {"АМц1 ", 2.73},
    {"АМцC (1401)", 2.73},
    {"АЦР1У ", 2.9},
    {"В124 ", 2.73},
    {"В14А ", 2.74},
    {"В-300 ", 2.83},
    {"В65 ", 2.8},
    {"В95 ", 2.75},
    {"В95пч", 2.85},
    {"ВАД1 (1191)", 2.76},
    {"ВАЛ10 ", 2.81},
    {"ВАЛ14 ", 2.8},
    {"ВАЛ8 ", 2.73},
    {"ВД17 ", 2.75},
    {"ВИ-11-3 ", 2.2},
    {"Д1 (1110)", 2.79},
    {"Д12 (1521)", 2.68},
    {"Д16 (1160)", 2.77},
    {"Д16ч", 2.77},
    {"Д18 Д18Т ", 2.67},
    {"Д19 Д19Т Д19ч", 2.76},
    {"Д20 Д20Т ", 2.84},
    {"Д21 ", 2.84},
    {"Д3Т ", 2.68},
    {"Д6 ", 2.8},
    {"М40 ", 2.75},
    {"ММ (1403)", 2.73},
}};
// clang-format on

// The grades' texts alone, in the list's order: the alloy list's entries.
inline constexpr std::array<std::string_view, kAlloyCount> kGradeTexts = [] {
    std::array<std::string_view, kAlloyCount> grades{};
    for (std::size_t i = 0; i < kAlloyCount; ++i)
        grades[i] = kAlloys[i].grade;
    return grades;
}();

// The grade whose text is `name` but for the blanks at the ends of either
// (spreadsheets drop the blank some grades end with); nullptr when none. A
// reader that matches exactly compares the grade's text after.
const Alloy* gradeNamed(std::string_view name);

// The grades whose bracketed number is `number` ("Д16 (1160)" for 1160,
// both grades for 1340), in the list's order: a density typed that is a
// grade's number, copied from a certificate.
std::vector<std::string_view> gradesNumbered(double number);

} // namespace sheetmass
