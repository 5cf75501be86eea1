#pragma once

#include <string_view>

namespace Модуль1 {

// Density in g/cm³ of the alloy field's text: a grade of the table (exact,
// untrimmed match), else the text itself read as a number; 0 when neither.
double AlloyDensity(std::string_view text);

} // namespace Модуль1
