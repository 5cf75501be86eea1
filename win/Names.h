#pragma once

// The names screen readers say for the fields: each field's caption from
// the window data, set on the field itself, since the captions lie beneath
// the other controls and the system's guess from the order finds none.

#include "win/Design.h"

#include <vector>

namespace sheetmass::win {

void nameFields(const std::vector<Made>& made);

} // namespace sheetmass::win
