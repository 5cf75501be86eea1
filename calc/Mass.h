#pragma once

#include "calc/Inputs.h"

#include <string>

namespace sheetmass {

// The text of the result field: the batch mass in kilograms rounded to the
// given places, "0" for an unusable alloy or mode, or the empty text when a
// field the calculation needs holds no number or the arithmetic overflows.
std::string massText(const Inputs& in);

} // namespace sheetmass
