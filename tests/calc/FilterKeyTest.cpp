#include "calc/FilterKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using Модуль1::FilterKey;

// The admitted texts of the main window's fields.
constexpr std::string_view kAdmitted[] = {
    "1234567890,",   // alloy
    "",              // mode, result
    "01234567890,",  // thickness, length, width
    "-01234567890,", // deviations
    "1234567890",    // number of sheets
};

TEST(FilterKey, PassesExactlyTheAdmittedBytesAndBackspace) {
    for (const std::string_view admitted : kAdmitted) {
        SCOPED_TRACE(testing::Message() << "\"" << admitted << "\"");
        for (int code = 0; code <= 255; ++code) {
            SCOPED_TRACE(code);
            const char byte = static_cast<char>(static_cast<unsigned char>(code));
            const bool passes =
                code != 0 && (code == 8 || admitted.find(byte) != std::string_view::npos);
            const auto typed = static_cast<std::int16_t>(code);
            EXPECT_EQ(FilterKey(typed, admitted), passes ? typed : 0);
        }
    }
}

TEST(FilterKey, NoCharacterOutsideOneByte) {
    const int codes[] = {0, -1, -8, -208, -32768, 256, 256 + '5', 256 + 8, 1000, 32767};
    for (const std::string_view admitted : kAdmitted) {
        for (const int code : codes) {
            SCOPED_TRACE(code);
            EXPECT_EQ(FilterKey(static_cast<std::int16_t>(code), admitted), 0);
        }
    }
}

TEST(FilterKey, FieldRoles) {
    // Dot, blank, letters (Latin and Windows-1251 Cyrillic), Enter, Escape and
    // the clipboard control codes never pass.
    for (const int code :
         {int{'.'}, int{' '}, int{'a'}, int{'E'}, 0xC0, 0xE0, 0xFF, 13, 27, 3, 22, 24}) {
        for (const std::string_view admitted : kAdmitted)
            EXPECT_EQ(FilterKey(static_cast<std::int16_t>(code), admitted), 0) << code;
    }
    EXPECT_EQ(FilterKey(',', "1234567890,"), ',');
    EXPECT_EQ(FilterKey(',', "1234567890"), 0);
    EXPECT_EQ(FilterKey('-', "-01234567890,"), '-');
    EXPECT_EQ(FilterKey('-', "01234567890,"), 0);
    EXPECT_EQ(FilterKey(8, ""), 8);
    EXPECT_EQ(FilterKey('0', ""), 0);
}

} // namespace
