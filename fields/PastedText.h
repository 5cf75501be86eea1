#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// A text that comes into a field at once (pasted, dropped, committed by an
// input method), UTF-8, without the white space that copying a cell or a
// line brings along: blanks, tabs, line breaks, the no-break space, the
// figure space and the thin spaces.
std::string_view trimWhiteSpace(std::string_view utf8);

// The same text as a number field takes it: trimmed, the blanks that group
// digits ("1 250,5", also with no-break or thin spaces) left out, a dot made
// the decimal comma. No text when it holds more than one dot or comma
// ("1,250.5", "1.250.000"): which one separates the decimals cannot be told.
// Everything else stays for the field's own filter to judge.
std::optional<std::string> pastedNumber(std::string_view utf8);

} // namespace sheetmass
