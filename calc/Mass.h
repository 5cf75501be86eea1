#pragma once

#include "calc/Inputs.h"
#include "calc/NoMass.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// The density in g/cm³ of the alloy field's text; 0 when nothing can be made
// of it, never a failure.
using DensityLookup = double(std::string_view alloy);

// The text of the result field: the batch mass in kilograms rounded to the
// given places, "0" for an unusable alloy or mode, or the empty text when a
// field the calculation needs holds no number or the arithmetic overflows.
// The density comes from the caller's lookup, asked once with the alloy text
// before any other field is read.
std::string massText(const Inputs& in, DensityLookup& densityOf);

// The same from numbers already read, for a reader that reads each field
// once: the density, which of the three modes (or none), and the fields'
// numbers, by input (the alloy's and the mode's stay unused). Only the
// deviation the mode uses is looked at.
struct MassNumbers {
    std::array<double, kInputCount> values{};

    double& operator[](Input input) { return values[static_cast<std::size_t>(input)]; }
    double operator[](Input input) const { return values[static_cast<std::size_t>(input)]; }
};
std::string massText(double density, Mode mode, const MassNumbers& numbers);

// The result as the window shows it, with what it was worked from, for the
// reader to check: the thickness the mode made of the fields, in mm, and the
// unrounded mass of one sheet, in kg, both in the number-to-text form. No
// mass, rather than massText's 0, when the mode is none of the three or the
// alloy is no grade and no number: a 0 kg batch of real sheets would pass
// for a result. Without a mass the other two are empty and the first input
// that keeps it from being worked out is named.
struct MassResult {
    std::string mass;
    std::string thickness;
    std::string sheetMass;
    std::optional<Blocker> none;
};
MassResult massResult(const Inputs& in, DensityLookup& densityOf);

} // namespace sheetmass
