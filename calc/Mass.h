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

// The same from numbers already read: the density, which of the three
// modes (or none), and the fields' numbers. Only the deviation the mode
// uses is looked at.
std::string massText(double density, Mode mode, const MassNumbers& numbers);

// The result as the window shows it, with what it was worked from, for the
// reader to check: the thickness the mode made of the fields, in mm, the
// unrounded mass of one sheet, in kg, both in the number-to-text form, and
// the density, with the grade it is of (empty for a density typed). No
// mass, rather than massText's 0, when the mode is none of the three or the
// alloy is no grade and no number: a 0 kg batch of real sheets would pass
// for a result; nor for numbers no sheet has (whyNoMass). Without a mass
// the others are empty and the first input that keeps it from being worked
// out is named.
struct MassResult {
    std::string mass;
    std::string thickness;
    std::string sheetMass;
    std::string density;
    std::string grade;
    std::optional<Blocker> none;
};
MassResult massResult(const Inputs& in, DensityLookup& densityOf, GradesNumbered& gradesOf);

} // namespace sheetmass
