#pragma once

#include "forms/Form.h"

#include <string_view>

namespace sheetmass::forms {

// The calculator window: its controls from top to bottom.
extern const Window kForm1;

// What the result's tooltip adds to its hint while there is a result; %1 is
// the number.
inline constexpr std::string_view kResultThickness = "Толщина в расчёте: %1 мм";
inline constexpr std::string_view kResultSheetMass = "Масса одного листа: %1 кг";

// The tooltip at a field that refused a text pasted or dropped into it; %1 is
// the field's hint.
inline constexpr std::string_view kRefusedPaste = "Не вставлено.\n%1";

} // namespace sheetmass::forms
