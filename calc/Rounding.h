#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// Fix(x · 10^d + 0.5) / 10^d on the value x that a result text shows, d the
// places. Whole d from 0 to 15 is worked in decimal on the text's own digits,
// so 1,005 at two places gives 1,01; any other d in doubles. No value when
// the text is no number or the arithmetic is not finite.
std::optional<double> roundShown(std::string_view shown, double places);

// formatNumber of roundShown on formatNumber's text of a value, worked
// without either text; empty when there is no value.
std::string roundedText(double value, double places);

} // namespace sheetmass
