#include "fields/FieldRule.h"

#include "fields/CodePage.h"
#include "fields/FilterKey.h"
#include "fields/PastedText.h"

#include <algorithm>

namespace sheetmass {

std::optional<std::string> admittedNumber(std::string_view utf8, std::string_view admitted,
                                          DecimalMark mark) {
    auto number = pastedNumber(utf8, mark);
    if (!number)
        return std::nullopt;
    const bool ascii = std::all_of(number->begin(), number->end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // Windows-1251 agrees with ASCII below 0x80; above it, a character the
    // code page lacks comes back as "?" and must not pass as one.
    const std::string codes = ascii ? *number : toCp1251(*number);
    if (!ascii && fromCp1251(codes) != *number)
        return std::nullopt;
    constexpr std::int16_t kBackspace = 8; // passes every filter as a key, but is no character
    for (const char c : codes) {
        const auto code = static_cast<std::int16_t>(static_cast<unsigned char>(c));
        if (code == kBackspace || Модуль1::FilterKey(code, admitted) != code)
            return std::nullopt;
    }
    return number;
}

bool admits(std::string_view admitted, char32_t character) {
    const int code = cp1251Code(character);
    if (code <= 0)
        return false;
    const auto typed = static_cast<std::int16_t>(code);
    return Модуль1::FilterKey(typed, admitted) == typed;
}

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace sheetmass
