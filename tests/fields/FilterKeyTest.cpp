#include "fields/FilterKey.h"
#include "fields/FieldRule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace {

using Модуль1::FilterKey;

// The fields' admitted texts as the window gives them.
constexpr std::string_view kSize = "01234567890,";
constexpr std::string_view kDeviation = "-01234567890,";
constexpr std::string_view kCount = "1234567890";
constexpr std::string_view kNone = "";

TEST(FilterKey, GivesBackTheCodeOfAnAdmittedCharacterOrBackspaceElseZero) {
    const struct {
        std::string_view admitted;
        int code;
        int expected;
    } cases[] = {
        // clang-format off
        {kSize, '0', '0'}, {kSize, '9', '9'}, {kSize, ',', ','}, {kSize, '.', 0}, {kSize, '-', 0},
        {kSize, ' ', 0}, {kSize, 'e', 0}, {kSize, 'E', 0}, {kSize, '+', 0}, {kSize, '/', 0},
        {kSize, ':', 0}, {kSize, 8, 8}, {kSize, 0, 0}, {kSize, 127, 0}, {kSize, 9, 0},
        {kDeviation, '-', '-'}, {kDeviation, ',', ','}, {kDeviation, '5', '5'},
        {kCount, ',', 0}, {kCount, '0', '0'}, {kCount, '-', 0},
        {kNone, '5', 0}, {kNone, 8, 8}, {kNone, 0, 0},
        // Windows-1251 letters are bytes above 0x7F: «б» 0xE1, «ю» 0xFE, «Д» 0xC4.
        {kSize, 0xE1, 0}, {kSize, 0xFE, 0}, {"\xC4", 0xC4, 0xC4}, {"\xC4", 0xE4, 0},
        // Codes that are no Windows-1251 character are never typed.
        {kSize, 256 + '5', 0}, {kSize, 256 + 8, 0}, {kSize, -1, 0}, {kSize, -8, 0},
        {kSize, -208, 0}, {kSize, -32768, 0}, {kSize, 1000, 0}, {kSize, 32767, 0},
        {"\xFF", -1, 0}, {"\xFF", 255, 255},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(FilterKey(static_cast<std::int16_t>(c.code), c.admitted), c.expected)
            << "code " << c.code << " in \"" << c.admitted << '"';
}

// A typed character is asked by its Windows-1251 code: Cyrillic and
// punctuation outside ASCII never pass a number field, whatever byte
// they share with an ASCII character's low bits.
TEST(FilterKey, TypedCharactersGoByTheirWindows1251Code) {
    const struct {
        std::string_view admitted;
        char32_t character;
        bool passes;
    } cases[] = {
        // clang-format off
        {kSize, U'2', true}, {kSize, U',', true}, {kSize, U'.', false}, {kSize, U'ю', false},
        {kSize, U'б', false}, {kSize, U'\u066B', false}, {kSize, U'\uFF0C', false},
        {kSize, U'\u012C', false}, {kSize, U'\u0130', false}, {kSize, U'\b', true},
        {kDeviation, U'-', true}, {kDeviation, U'\u2212', false}, {kCount, U',', false},
        {"\xC4", U'Д', true}, {"\xC4", U'д', false}, {"\xB9", U'№', true}, {kNone, U'0', false},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheetmass::admits(c.admitted, c.character), c.passes)
            << "U+" << std::hex << static_cast<unsigned>(c.character) << " in \"" << c.admitted
            << '"';
}

} // namespace
