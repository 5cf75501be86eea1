#pragma once

#include "fields/PastedText.h"

#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// What a number field takes: the characters its key filter admits (in
// Windows-1251, here all ASCII) and the longest text it keeps, 0 for any
// length. List.abc has six characters' room for each size field.
struct NumberField {
    const char* admitted;
    int room;
};
inline constexpr NumberField kAlloyField{"1234567890,", 0};
inline constexpr NumberField kSizeField{"01234567890,", 6};
inline constexpr NumberField kDeviationField{"-01234567890,", 6};
inline constexpr NumberField kCountField{"1234567890", 6};
// Typed into by no key: the mode is picked from its list (List.abc has 96
// bytes' room for it), the result is written by the calculation.
inline constexpr NumberField kModeField{"", 96};
inline constexpr NumberField kResultField{"", 0};

// The text a filtered field takes when a text comes into it at once (pasted,
// dropped, committed by an input method, read from a batch line), UTF-8:
// pastedNumber's form of it, when every character of that passes FilterKey
// with the field's admitted text (Windows-1251). No text otherwise. Whether
// it fits the field's room is the caller's to judge, since a paste adds to
// what the field holds. The window reads the Russian way; a batch file may
// be written the English or the German way.
std::optional<std::string> admittedNumber(std::string_view utf8, std::string_view admitted,
                                          NumberWay way = NumberWay::russian);
// The same into `number`, as pastedNumber's; false for no text.
bool admittedNumber(std::string_view utf8, std::string_view admitted, NumberWay way,
                    std::string& number);

// Whether a character typed into a field passes its filter: FilterKey
// asked with the character's Windows-1251 code, as for a key press.
bool admits(std::string_view admitted, char32_t character);

// Characters, not bytes, of a UTF-8 text: what a field's room counts.
std::size_t characterCount(std::string_view utf8);

// Why a field refused what came into it, for the user to be told.
enum class Refusal {
    None,
    Character, // a character the field does not take
    Separator, // a second decimal comma
    Room,      // longer than the field keeps
    NoText,    // nothing to paste: an empty clipboard, or no plain text on it
    ReadOnly,  // the result, which only the calculation writes
};

// What a key typed into a number field puts there, kept being the field's
// text outside the selection the key replaces (UTF-8): the character, or why
// not. Where the field takes the comma, the keys that carry the Latin
// layout's dot and comma on a Russian keyboard (ю, б, Ю, Б) type it, as the
// dot does: no letter can be meant there. One comma a number.
struct TypedKey {
    char32_t character = 0;
    Refusal refusal = Refusal::None;
};
TypedKey typedInto(const NumberField& field, char32_t key, std::string_view kept);

// The same for a text that comes at once, replacing the selection: the text
// that goes in (admittedNumber's), or why not.
struct Taken {
    std::string text;
    Refusal refusal = Refusal::None;
};
Taken takenInto(const NumberField& field, std::string_view utf8, std::string_view kept);

} // namespace sheetmass
