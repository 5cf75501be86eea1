#pragma once

#include "calc/Inputs.h"
#include "listfile/ListImage.h"

namespace sheetmass {

// The window's inputs as List.abc keeps them: texts in Windows-1251, the
// decimal places as a number (no value when the places text is none).
ListValues listFromInputs(const Inputs& in);

// And back: the places as the text of the stored number.
Inputs inputsFromList(const ListValues& values);

} // namespace sheetmass
