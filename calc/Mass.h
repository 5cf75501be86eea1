#pragma once

#include "calc/Inputs.h"

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

} // namespace sheetmass
