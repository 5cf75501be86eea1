#pragma once

#include <string>
#include <string_view>

namespace sheetmass {

// Windows-1251, the code page List.abc and the key filter speak. Every byte
// has a character (0x98 stands for U+0098), so reading never fails; a
// character the code page lacks is written as "?", one mark a character.

// The code of a character, or -1 when the code page has none.
int cp1251Code(char32_t character);

// Windows-1251 bytes from UTF-8. Each malformed UTF-8 byte counts as one
// character the code page lacks.
std::string toCp1251(std::string_view utf8);

// UTF-8 from Windows-1251 bytes.
std::string fromCp1251(std::string_view bytes);

} // namespace sheetmass
