#pragma once

#include "behaviour/Answer.h"

#include <string>
#include <string_view>

namespace sheetmass::behaviour {

// The field's text without its selection: what a key or a paste keeps.
std::string keptText(const FieldState& state);

std::string utf8Of(char32_t c);

// Whether a typed character is a letter, as the start of a grade's name is.
bool isLetter(char32_t c);

// The text less its last character; empty for one of a character or none.
std::string withoutLastCharacter(std::string_view utf8);

} // namespace sheetmass::behaviour
