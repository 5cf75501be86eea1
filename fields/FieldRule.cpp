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

namespace {

bool fits(const NumberField& field, std::string_view kept, std::size_t added) {
    return field.room <= 0 || characterCount(kept) + added <= static_cast<std::size_t>(field.room);
}

} // namespace

TypedKey typedInto(const NumberField& field, char32_t key, std::string_view kept) {
    const std::string_view admitted = field.admitted;
    const bool takesComma = admitted.find(',') != std::string_view::npos;
    constexpr std::u32string_view kCommaKeys = U".,юбЮБ";
    if (takesComma && kCommaKeys.find(key) != std::u32string_view::npos)
        key = U',';
    if (!admits(admitted, key))
        return {0, Refusal::Character};
    if (key == U',' && kept.find(',') != std::string_view::npos)
        return {0, Refusal::Separator};
    if (!fits(field, kept, 1))
        return {0, Refusal::Room};
    return {key, Refusal::None};
}

Taken takenInto(const NumberField& field, std::string_view utf8, std::string_view kept) {
    if (trimWhiteSpace(utf8).empty())
        return {{}, Refusal::NoText};
    if (!pastedNumber(utf8))
        return {{}, Refusal::Separator};
    auto number = admittedNumber(utf8, field.admitted);
    if (!number)
        return {{}, Refusal::Character};
    if (number->find(',') != std::string::npos && kept.find(',') != std::string_view::npos)
        return {{}, Refusal::Separator};
    if (!fits(field, kept, characterCount(*number)))
        return {{}, Refusal::Room};
    return {std::move(*number), Refusal::None};
}

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace sheetmass
