#include "calc/Rounding.h"
#include "calc/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <string_view>

namespace {

using sheetmass::formatNumber;
using sheetmass::parseNumber;
using sheetmass::roundShown;

// The rounded value as the result field would show it; "" for none.
std::string rounded(std::string_view shown, double places) {
    const auto value = roundShown(shown, places);
    return value ? formatNumber(*value) : "";
}

TEST(roundShown, HalvesOfTheShownDecimalGoUp) {
    const struct {
        const char* shown;
        double places;
        const char* expected;
    } cases[] = {
        // clang-format off
        {"1,005", 2, "1,01"}, {"4,005", 2, "4,01"}, {"2,675", 2, "2,68"}, {"9,995", 2, "10"},
        {"2,5", 0, "3"}, {"0,5", 0, "1"}, {"0,4999", 0, "0"}, {"0,005", 1, "0"},
        {"5E-06", 5, "1E-05"}, {"0", 3, "0"}, {"1E+16", 15, "1E+16"}, {"12,5", 2, "12,5"},
        {"1,23456789012345", 15, "1,23456789012345"}, {"1,23456789012345", 13, "1,2345678901235"},
        {"1,9636797035E-06", 15, "1,963679704E-06"}, // doubles give ...703
        // Results of 15 digits and just over, and a carry into a 16th.
        {"99999999999999,9", 0, "100000000000000"}, {"9,99999999999999", 14, "9,99999999999999"},
        {"9,99999999999999", 13, "10"}, {"999999999999999,5", 0, "1E+15"},
        {"-99999999999999,5", 0, "-99999999999999"},
        // For a negative value Fix(x · 10^d + 0.5) cuts toward zero.
        {"-1,26", 1, "-1,2"}, {"-1,25", 1, "-1,2"}, {"-1,24", 1, "-1,1"}, {"-2", 0, "-1"},
        {"-1,005", 2, "-1"}, {"-0,4", 0, "0"}, {"-0,5", 0, "0"},
        // Places that are not whole or not from 0 to 15 go through doubles.
        {"11,08", -1, "10"}, {"11,08", 0.5, "11,0679718105893"},
        {"11,08", -0.5, "12,6491106406735"}, {"11,08", 16, "11,08"}, {"-15", -1, "-10"},
        // 10^d or x times it beyond doubles; 10^-400 is 0 and the cut value is divided by it.
        {"11,08", 400, ""}, {"11,08", 308, ""}, {"0", 400, ""}, {"11,08", -400, ""},
        {"1E+300", 15, ""},
        // clang-format on
    };
    for (const auto& [shown, places, expected] : cases)
        EXPECT_EQ(rounded(shown, places), expected) << shown << " at " << places;
}

// The rounding reads its text with the fields' number grammar (blanks
// around, leading zeros, a bare side of the comma, either exponent letter),
// and nothing else.
TEST(roundShown, ReadsTheFieldsNumberGrammar) {
    const struct {
        const char* text;
        double places;
        double value;
    } cases[] = {
        // clang-format off
        {" 2,5 ", 15, 2.5}, {"007", 15, 7}, {"2,", 15, 2}, {",5", 15, 0.5}, {"1,000", 15, 1},
        {"1E3", 15, 1000}, {"1e3", 15, 1000}, {"1,5E+2", 15, 150}, {"2,5e-1", 15, 0.25},
        {"1,E5", 15, 100000}, {",5E1", 15, 5}, {"1E007", 15, 10000000}, {"000,0012", 15, 0.0012},
        {"0E400", 15, 0}, {"1E-400", 15, 0},
        {",125e1", 1, 1.3}, {"1005E-3", 2, 1.01}, {" -,25E1 ", 0, -2}, {"0,0095E+2", 0, 1},
        // More than 15 digits kept: the half still goes up.
        {"0,12345678901234565", 16, 0.1234567890123457}, {"1234567890123456,5", 0, 1234567890123457},
        // clang-format on
    };
    for (const auto& [text, places, value] : cases)
        EXPECT_EQ(roundShown(text, places), value) << '"' << text << "\" at " << places;
    for (const char* text :
         {"", "-", ",", "+5", "2.5", ".5", "1 000", "1,2,3", "inf", "nan", "0x1A", "1E", "1E+",
          "1E5,5", "5-", "\t5", "1E400", "1,7976931348623159E308"})
        EXPECT_FALSE(roundShown(text, 2).has_value()) << '"' << text << '"';
}

// The cut falls where the digits are, however far a pasted text spreads them.
TEST(roundShown, LongTextsAreCutWhereTheirDigitsAre) {
    constexpr std::size_t kLength = 8'000'000;
    const std::string zeros(kLength, '0'), nines(kLength, '9');
    EXPECT_EQ(rounded("0," + nines, 2), "1");
    EXPECT_EQ(rounded("9,995" + zeros, 2), "10");
    EXPECT_EQ(rounded("-1,25" + zeros + "1", 1), "-1,2");
    EXPECT_EQ(rounded("0,00" + zeros + "9", 15), "0");
    EXPECT_EQ(rounded("1" + zeros + "E-8000000", 2), "1");
    EXPECT_EQ(rounded("1005" + zeros + "E-8000003", 2), "1,01");
    EXPECT_EQ(rounded("0," + zeros + "1005E8000003", 0), "101");
}

// Decimal places of a shown text: "1,25" has 2, "1,2E-06" has 7.
int placesOf(const std::string& text) {
    const auto comma = text.find(','), e = text.find('E');
    const auto fraction = comma == std::string::npos ? 0 : std::min(e, text.size()) - comma - 1;
    return std::max(0, static_cast<int>(fraction) -
                           (e == text.npos ? 0 : std::stoi(text.substr(e + 1))));
}

// A random shown value of up to 15 digits against its exact decimal; half of
// them end in a 5 just past the last place, where the tie must go up.
TEST(roundShown, RandomValuesWithinHalfAUnitTiesUp) {
    std::mt19937 random(1105);
    for (int i = 0; i < 4000; ++i) {
        const int d = static_cast<int>(random() % 16);
        const double halfUnit = 0.5 * std::pow(10.0, -d);
        std::string digits;
        for (unsigned n = 1 + random() % 15; digits.size() < n;)
            digits += static_cast<char>('0' + random() % 10);
        const bool tie = random() % 2;
        if (tie)
            digits.back() = '5';
        digits += "E-";
        digits += std::to_string(tie ? d + 1 : random() % 17);
        const double x = *parseNumber(digits);
        const std::string shown = formatNumber(x), result = rounded(shown, d);
        SCOPED_TRACE(shown + " → " + result + " at " + std::to_string(d));
        const auto value = parseNumber(result);
        ASSERT_TRUE(value.has_value());
        const double slack = 1e-12 * halfUnit + 4e-16 * x;
        EXPECT_LE(*value - x, halfUnit + slack);
        EXPECT_TRUE(*value == x || x - *value < halfUnit - slack);
        EXPECT_LE(placesOf(result), d);
        if (placesOf(shown) <= d) {
            EXPECT_EQ(result, shown);
        }
    }
}

} // namespace
