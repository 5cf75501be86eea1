#pragma once

// The names screen readers say for the fields: each field's caption from
// the window data, set on the field itself, since the captions are drawn
// by the window and the system's guess from the order finds none.

#include "win/Design.h"

#include <vector>

namespace sheetmass::win {

void nameFields(const forms::Window& design, const std::vector<Made>& made);

// Takes the names off again as the window goes, which the system keeps
// otherwise.
void forgetNames(const forms::Window& design, const std::vector<Made>& made);

} // namespace sheetmass::win
