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

// The ways numbers are written. The Russian one, the window's: a comma or a
// typed dot before the decimals, blanks between digit groups. The English
// one: a dot before the decimals, commas (or blanks) between groups of three
// digits. The German one: a comma before the decimals, dots (or blanks)
// between groups of three digits.
enum class NumberWay : char { russian, english, german };

// The same text as a number field takes it: trimmed, the blanks that group
// digits ("1 250,5", also with no-break or thin spaces) left out, a minus
// sign or dash before digits made "-", the decimal mark made the comma. In
// the Russian reading no text when it holds more than one dot or comma
// ("1,250.5", "1.250.000"): which one separates the decimals cannot be told;
// in the English one, when a comma does not stand between groups of three
// digits ("0,2") or there is more than one dot; in the German one the same
// with the two marks' parts swapped ("1.5", "1,000,5"). Everything else
// stays for the field's own filter to judge.
std::optional<std::string> pastedNumber(std::string_view utf8, NumberWay way = NumberWay::russian);
// The same into `number`, which a reader of many texts keeps so that none
// is made for each; false for no text.
bool pastedNumber(std::string_view utf8, NumberWay way, std::string& number);

// What a number text shows of the way it was written.
struct NumberLook {
    bool commaDecimal = false; // not read the English way: "0,2", "1,5"
    bool commaGroups = false;  // read only the English way: "1,250.5", "1,250,000"
    bool dotDecimal = false;   // not read the German way: "1.5", "0.250"
    bool thousands = false;    // a thousand times apart: "2,000" is 2 or 2000
    bool dotGroups = false;    // read only the German way: "1.250,5", "1.250.000"
    bool dotThousands = false; // the same with a dot: "1.500" is 1,5 or 1500
};
NumberLook numberLook(std::string_view utf8);

} // namespace sheetmass
