#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// The text a filtered field takes when a text comes into it at once (pasted,
// dropped, committed by an input method, read from a batch line), UTF-8:
// pastedNumber's form of it, when every character of that passes FilterKey
// with the field's admitted text (Windows-1251). No text otherwise. Whether
// it fits the field's room is the caller's to judge, since a paste adds to
// what the field holds.
std::optional<std::string> admittedNumber(std::string_view utf8, std::string_view admitted);

// Characters, not bytes, of a UTF-8 text: what a field's room counts.
std::size_t characterCount(std::string_view utf8);

} // namespace sheetmass
