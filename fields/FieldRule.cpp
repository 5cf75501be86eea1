#include "fields/FieldRule.h"

#include "fields/CodePage.h"
#include "fields/FilterKey.h"
#include "fields/PastedText.h"

#include <algorithm>
#include <array>
#include <bitset>

namespace sheetmass {

namespace {

// What the filter says of every code for one admitted text. It looks at
// the one character and the admitted text alone, so a batch of a million
// lines, which asks about the same few fields, asks it once for each;
// the few last texts are kept, by their characters.
struct Answers {
    bool asked = false;
    std::string admitted;
    std::bitset<256> passes;
};

const Answers& answersFor(std::string_view admitted) {
    thread_local std::array<Answers, 4> kept;
    thread_local std::size_t next = 0;
    thread_local std::size_t last = 0;
    if (kept[last].asked && kept[last].admitted == admitted)
        return kept[last];
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (kept[i].asked && kept[i].admitted == admitted)
            return kept[last = i];
    Answers& answers = kept[last = next];
    next = (next + 1) % kept.size();
    answers.asked = true;
    answers.admitted = admitted;
    constexpr std::int16_t kBackspace = 8; // passes every filter as a key, but is no character
    for (std::int16_t code = 0; code <= 0xFF; ++code)
        answers.passes[static_cast<std::size_t>(code)] =
            code != kBackspace && Модуль1::FilterKey(code, admitted) == code;
    return answers;
}

} // namespace

std::optional<std::string> admittedNumber(std::string_view utf8, std::string_view admitted,
                                          NumberWay way) {
    std::string number;
    if (!admittedNumber(utf8, admitted, way, number))
        return std::nullopt;
    return number;
}

bool admittedNumber(std::string_view utf8, std::string_view admitted, NumberWay way,
                    std::string& number) {
    if (!pastedNumber(utf8, way, number))
        return false;
    const bool ascii = std::all_of(number.begin(), number.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // Windows-1251 agrees with ASCII below 0x80; above it, a character the
    // code page lacks comes back as "?" and must not pass as one.
    std::string converted;
    if (!ascii) {
        converted = toCp1251(number);
        if (fromCp1251(converted) != number)
            return false;
    }
    const std::string_view codes = ascii ? std::string_view(number) : converted;
    const Answers& answers = answersFor(admitted);
    return std::all_of(codes.begin(), codes.end(),
                       [&](char c) { return answers.passes[static_cast<unsigned char>(c)]; });
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
