#pragma once

#include <cstdint>
#include <string_view>

namespace Модуль1 {

// The key-press filter of the main window's fields: gives back the typed
// Windows-1251 code when that character is in the admitted text or is
// backspace (8), else 0, which discards the keystroke. Looks at the one
// character only, never at the field's text. The admitted text is in
// Windows-1251 too, one byte a character.
std::int16_t FilterKey(std::int16_t code, std::string_view admitted);

} // namespace Модуль1
