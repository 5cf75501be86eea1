#include "fields/FilterKey.h"

namespace Модуль1 {

std::int16_t FilterKey(std::int16_t code, std::string_view admitted) {
    constexpr std::int16_t kBackspace = 8;
    if (code == kBackspace)
        return code;
    // A Windows-1251 code is one byte; anything else is no character.
    if (code <= 0 || code > 0xFF)
        return 0;
    const char c = static_cast<char>(static_cast<unsigned char>(code));
    return admitted.find(c) != std::string_view::npos ? code : 0;
}

} // namespace Модуль1
