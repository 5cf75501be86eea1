#include "fields/FilterKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace {

using Модуль1::FilterKey;

// The admitted texts of the main window's fields: alloy; mode and result;
// thickness, length and width; deviations; number of sheets.
constexpr std::string_view kAdmitted[] = {"1234567890,", "", "01234567890,", "-01234567890,",
                                          "1234567890"};

TEST(FilterKey, PassesExactlyTheAdmittedBytesAndBackspace) {
    for (const std::string_view admitted : kAdmitted) {
        for (int code = 0; code <= 255; ++code) {
            const char byte = static_cast<char>(static_cast<unsigned char>(code));
            const bool passes = code != 0 && (code == 8 || admitted.find(byte) != admitted.npos);
            const auto typed = static_cast<std::int16_t>(code);
            EXPECT_EQ(FilterKey(typed, admitted), passes ? typed : 0)
                << "code " << code << " in \"" << admitted << '"';
        }
    }
}

TEST(FilterKey, NoCharacterOutsideOneByte) {
    for (const std::string_view admitted : kAdmitted)
        for (const int code : {0, -1, -8, -208, -32768, 256, 256 + '5', 256 + 8, 1000, 32767})
            EXPECT_EQ(FilterKey(static_cast<std::int16_t>(code), admitted), 0) << code;
}

} // namespace
