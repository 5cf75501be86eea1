#include "calc/NumberText.h"
#include "fields/PastedText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace {

using sheetmass::formatNumber;
using sheetmass::parseNumber;
using Limits = std::numeric_limits<double>;

std::string joined(std::initializer_list<std::string_view> runs) {
    std::string text;
    for (const std::string_view run : runs)
        text.append(run);
    return text;
}

TEST(parseNumber, AcceptsTheFieldForms) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        // clang-format off
        {"0", 0}, {"007", 7}, {"2,5", 2.5}, {"-0,2", -0.2}, {"2,", 2}, {",5", 0.5}, {"-,5", -0.5},
        {"1,000", 1}, {"1E3", 1e3}, {"1e3", 1e3}, {"1,5E+2", 150}, {"2,5e-1", 0.25},
        {"-1E-2", -0.01}, {"1,E5", 1e5}, {",5E1", 5}, {"1E007", 1e7},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"10000000000000000000000000000000000000000", 1e40},
        {"-1,00000000000000000000000000000000000000000E-2", -0.01},
        {"1,7976931348623157E308", Limits::max()}, {"4,9E-324", Limits::denorm_min()},
        // A pasted or restored number often carries blanks; its value is not in doubt.
        {" 2,5", 2.5}, {"2,5 ", 2.5}, {"   -3   ", -3},
        // Up to 15 digits read in one pass; the one rounding must be the
        // nearest double, as for longer texts.
        {"0,3", 0.3}, {"1,1", 1.1}, {"-0,07", -0.07}, {"0,000000000000001", 1e-15},
        {"123456789012345", 123456789012345.0}, {"0,123456789012345", 0.123456789012345},
        {"1234567890123456", 1234567890123456.0}, {"9007199254740993", 9007199254740992.0},
        {"0,12345678901234567", 0.12345678901234567}, {"000000000000000000,5", 0.5},
        {"1,5E+22", 1.5e22}, {"12345E-27", 1.2345e-23},
        // clang-format on
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        const auto parsed = parseNumber(text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, value);
    }
}

TEST(parseNumber, UnderflowReadsAsZeroOfItsSign) {
    for (const char* text : {"1E-400", "0,0001E-321", "2,4E-324", "10E-99999", "0E400",
                             "0,000E999999", "-1E-400", "-0", "-0,000", "-,0", "0,0"}) {
        SCOPED_TRACE(text);
        const auto value = parseNumber(text);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, 0.0);
        EXPECT_EQ(std::signbit(*value), text[0] == '-');
        EXPECT_EQ(formatNumber(*value), "0");
    }
}

TEST(parseNumber, RefusesEverythingElse) {
    // Tabs, line ends, the no-break space and the minus sign U+2212 are no blanks or minus.
    const char* malformed[] = {"",        " ",     "-",     ",",     "-,",       "+5",   "+",
                               "--5",     "5-",    "5-3",   "- 5",   "2.5",      ".5",   "5.",
                               "1.000,5", "1,2,3", "1,,2",  "1 000", "2 ,5",     "2, 5", "1'000",
                               "1_000",   "inf",   "-inf",  "INF",   "infinity", "nan",  "NaN",
                               "0x1A",    "0X1p3", "1E",    "1E+",   "1E-",      "E5",   ",E5",
                               "1E 5",    "1E5,5", "1E1E1", "1E+-1", "\t5",      "5\n",  "\u00A05",
                               "\u22125", "2,5ж",  "пять",  "2,5%"};
    for (const char* text : malformed)
        EXPECT_FALSE(parseNumber(text).has_value()) << '"' << text << '"';
    const char* beyondRange[] = {"1E400", "-1E400", "1,7976931348623159E308",
                                 "1000000000000000000000000000000E290", "0,1E310"};
    for (const char* text : beyondRange)
        EXPECT_FALSE(parseNumber(text).has_value()) << text;
}

TEST(parseNumber, ReadsExactlyTheGivenView) {
    using namespace std::string_view_literals;
    // A NUL is a character like any other, not the end of the text.
    EXPECT_FALSE(parseNumber("12\0"sv).has_value());
    EXPECT_FALSE(parseNumber("\00012"sv).has_value()); // NUL, then 12
    EXPECT_EQ(parseNumber(std::string_view("12,5xyz", 4)), 12.5);
}

TEST(splitNumber, SignDigitsAndScaleOfTheValue) {
    const struct {
        const char* text;
        bool negative;
        const char* whole;
        const char* fraction;
        long long scale;
    } cases[] = {
        // clang-format off
        {"  -012,0340E+5 ", true, "12", "0340", 7}, {"0,0050", false, "", "50", -2},
        {",5e-1", false, "", "5", -1}, {"100", false, "100", "", 3}, {"1,E2", false, "1", "", 3},
        {"-000,000E7", true, "", "", 0}, {"0", false, "", "", 0},
        {"1E-9223372036854775808", false, "1", "", -9223372036854775807 + 1},
        {"9E99999999999999999999", false, "9", "", 9223372036854775807},
        // clang-format on
    };
    for (const auto& [text, negative, whole, fraction, scale] : cases) {
        SCOPED_TRACE(text);
        const auto parts = sheetmass::splitNumber(text);
        ASSERT_TRUE(parts.has_value());
        EXPECT_EQ(parts->negative, negative);
        EXPECT_EQ(parts->whole, whole);
        EXPECT_EQ(parts->fraction, fraction);
        EXPECT_EQ(parts->scale, scale);
    }
}

// A text pasted into the alloy or places field may run to millions of
// characters: its value decides where it lands, not how many digits spell it.
TEST(parseNumber, LongTextsLandOnTheSideOfTheRangeTheirValueIs) {
    const std::string zeros(200000, '0'), nines(200000, '9');
    const struct {
        std::string text;
        std::optional<double> value;
    } cases[] = {
        {joined({"0,", zeros, "1E1234567"}), std::nullopt},
        {joined({"0,", zeros, "1E200001"}), 1},
        {joined({"0,", zeros, "1E200300"}), 1e299},
        {joined({"-0,", zeros, "1E199990"}), -1e-11},
        {joined({"1", zeros, "E-200000"}), 1},
        {joined({"1", zeros, "E-199700"}), 1e300},
        {joined({"1", zeros, "E-199600"}), std::nullopt},
        {joined({"1", zeros, "E-1234567"}), 0},
        {joined({"-", nines, "E-200000"}), -1},
        {joined({zeros, "2,5", zeros, "E-1"}), 0.25},
        {joined({"-", zeros, ",", zeros, "E", nines}), -0.0},
        {joined({"1E", zeros, "5"}), 1e5},
        {joined({"1E-", nines}), 0},
        {joined({"1E", nines}), std::nullopt},
        // Exponents near the ends of long long, where a sum could wrap over.
        {"1E9223372036854775807", std::nullopt},
        {joined({"1", zeros, "E9223372036854775000"}), std::nullopt},
        {joined({"0,", zeros, "1E-9223372036854775000"}), 0},
        {joined({"-0,", zeros, "1E-9223372036854775807"}), -0.0},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text.substr(0, 8) + "… " + std::to_string(text.size()) + " characters");
        const auto parsed = parseNumber(text);
        ASSERT_EQ(parsed.has_value(), value.has_value());
        if (value) {
            EXPECT_EQ(*parsed, *value);
            EXPECT_EQ(std::signbit(*parsed), std::signbit(*value));
        }
    }
}

// Texts of millions of characters, as a paste may bring, read to the right
// value: digits far past the comma, an exponent that undoes them, blanks.
TEST(parseNumber, MegabyteTexts) {
    constexpr std::size_t kLength = 8'000'000;
    const std::string sevens(kLength, '7'), zeros(kLength, '0'), blanks(kLength, ' ');
    EXPECT_EQ(parseNumber(joined({"0,", sevens})), 0.77777777777777777777);
    EXPECT_EQ(parseNumber(joined({"0,", zeros, "1E8000001"})), 1.0);
    EXPECT_EQ(parseNumber(joined({"1E-", sevens})), 0.0);
    EXPECT_EQ(parseNumber(joined({blanks, "5", blanks})), 5.0);
    EXPECT_EQ(parseNumber(joined({zeros, ",", zeros, ","})), std::nullopt);
}

// A pasted or dropped text as the number fields take it; null: refused.
TEST(pastedNumber, WhiteSpaceGroupingAndTheDot) {
    const struct {
        const char* pasted;
        const char* number;
    } cases[] = {
        // clang-format off
        {"2,5\n", "2,5"}, {"\t 2,5\r\n", "2,5"}, {"\u00A02,5\u202F", "2,5"}, {"2.5", "2,5"},
        {"1 250,5", "1250,5"}, {"1\u00A0250,5", "1250,5"}, {"1\u2009250\u202F000", "1250000"},
        {"12  345", "12345"}, {"-1 250", "-1250"}, {"\u2007", ""}, {"", ""},
        // Only blanks between digits group them; the field refuses the rest.
        {"1 ,5", "1 ,5"}, {"- 5", "- 5"}, {"1\t250", "1\t250"}, {"1\n2", "1\n2"},
        {"Д16 (1160)", "Д16 (1160)"}, {"1e3", "1e3"}, {"-5", "-5"}, {"1,,", nullptr},
        {"1,250.5", nullptr}, {"1.250,5", nullptr}, {"1.250.000", nullptr}, {"1,250,000", nullptr},
        // Minus signs and dashes that spreadsheets write.
        {"\u22120,20", "-0,20"}, {"\u2013 5", "- 5"}, {"\uFF0D1\u00A0250", "-1250"}, {"5\u22123", "5-3"},
        // clang-format on
    };
    for (const auto& [pasted, number] : cases) {
        SCOPED_TRACE(pasted);
        EXPECT_EQ(sheetmass::pastedNumber(pasted),
                  number ? std::optional<std::string>(number) : std::nullopt);
    }
}

// The English reading: a dot before the decimals, commas between groups of
// three digits; the German one the other way round; and what a text shows
// of the way it is written.
TEST(pastedNumber, TheEnglishAndTheGermanReadings) {
    using sheetmass::NumberLook;
    const struct {
        const char* pasted;
        const char* english; // null: refused
        const char* german;
        // commaDecimal, commaGroups, dotDecimal, thousands, dotGroups, dotThousands
        NumberLook look;
    } cases[] = {
        // clang-format off
        {"2,000", "2000", "2,000", {false, false, false, true}},
        {"1,250.5", "1250,5", nullptr, {false, true, false, false}},
        {"\u22121,250,000", "-1250000", nullptr, {false, true, false, false}},
        {"1 250.5", "1250,5", nullptr, {false, false, true, false}},
        {"1.5", "1,5", nullptr, {false, false, true, false}},
        {"0.250", "0,250", nullptr, {false, false, true, false}},
        {"1.250", "1,250", "1250", {false, false, false, false, false, true}},
        {"0,2", nullptr, "0,2", {true, false, false, false}},
        {"0,250", nullptr, "0,250", {true, false, false, false}},
        {"12,50", nullptr, "12,50", {true, false, false, false}},
        {"1,2500", nullptr, "1,2500", {true, false, false, false}},
        {"1234,567", nullptr, "1234,567", {true, false, false, false}},
        {"1,000,00", nullptr, nullptr, {false, false, false, false}},
        {"1,000.5.5", nullptr, nullptr, {false, false, false, false}},
        {"1.000,5", nullptr, "1000,5", {false, false, false, false, true, false}},
        {"\u22121.250.000", nullptr, "-1250000", {false, false, false, false, true, false}},
        {"12.34,5", nullptr, nullptr, {false, false, false, false}},
        {"1.000.00", nullptr, nullptr, {false, false, false, false}},
        {"Д16 (1160)", "Д16 (1160)", "Д16 (1160)", {}}, {"2000", "2000", "2000", {}},
        {"a,bcd", nullptr, "a,bcd", {}},
        // clang-format on
    };
    for (const auto& [pasted, english, german, look] : cases) {
        SCOPED_TRACE(pasted);
        EXPECT_EQ(sheetmass::pastedNumber(pasted, sheetmass::NumberWay::english),
                  english ? std::optional<std::string>(english) : std::nullopt);
        EXPECT_EQ(sheetmass::pastedNumber(pasted, sheetmass::NumberWay::german),
                  german ? std::optional<std::string>(german) : std::nullopt);
        const NumberLook got = sheetmass::numberLook(pasted);
        EXPECT_EQ(got.commaDecimal, look.commaDecimal);
        EXPECT_EQ(got.commaGroups, look.commaGroups);
        EXPECT_EQ(got.dotDecimal, look.dotDecimal);
        EXPECT_EQ(got.thousands, look.thousands);
        EXPECT_EQ(got.dotGroups, look.dotGroups);
        EXPECT_EQ(got.dotThousands, look.dotThousands);
    }
}

TEST(formatNumber, ShortestGeneralFormWithComma) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        // clang-format off
        {0, "0"}, {-0.0, "0"}, {12.5, "12,5"}, {0.5, "0,5"}, {-2.5, "-2,5"}, {1.005, "1,005"},
        {2000000, "2000000"}, {0.1 + 0.2, "0,3"}, {2.0 / 3, "0,666666666666667"},
        {0.0001, "0,0001"}, {0.00001, "1E-05"}, {-0.00001234, "-1,234E-05"},
        {999999999999999, "999999999999999"}, {1e15, "1E+15"}, {1e16, "1E+16"},
        {123456789012345678.0, "1,23456789012346E+17"},
        {Limits::max(), "1,79769313486232E+308"}, {Limits::denorm_min(), "4,94065645841247E-324"},
        // Ties at the 16th digit go to the even 15th, as printf's.
        {999999999999999.5, "1E+15"}, {999999999999998.5, "999999999999998"},
        {-999999999999999.5, "-1E+15"}, {999999999999999.4, "999999999999999"},
        {123456789012345.0, "123456789012345"}, {100000000000000.0, "100000000000000"},
        {1.5e-13, "1,5E-13"}, {1.234567e-14, "1,234567E-14"}, {0.30000000000000004, "0,3"},
        {Limits::min(), "2,2250738585072E-308"}, {123456.78901234567, "123456,789012346"},
        // clang-format on
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatNumber(value), text);
    // 15 digits put the largest double beyond the range, so that mass cannot
    // be read back for rounding.
    EXPECT_FALSE(parseNumber(formatNumber(Limits::max())).has_value());
}

TEST(formatNumber, NoTextForValuesThatAreNotFinite) {
    for (const double value : {Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN()})
        EXPECT_EQ(formatNumber(value), "");
}

// Any value's text reads back, and showing that again changes nothing: the
// result field can be read back and rounded safely.
TEST(NumberText, ShownTextReadsBackUnchanged) {
    std::mt19937_64 random(20240611);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        // 15 digits round the largest doubles up beyond the range.
        if (!std::isfinite(value) || std::fabs(value) >= 1.797693134862315e308)
            continue;
        const std::string text = formatNumber(value);
        SCOPED_TRACE(text);
        const auto back = parseNumber(text);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(formatNumber(*back), text);
        EXPECT_LE(std::fabs(*back - value), std::fabs(value) * 1e-14);
        ++checked;
    }
    EXPECT_GT(checked, 19000);
}

// The program's toolkit switches the C locale to the user's; a decimal-comma
// locale there must change nothing.
class ForeignLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        // Windows names its locales otherwise.
        for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8", "Russian_Russia.1251"})
            if (std::setlocale(LC_ALL, name) != nullptr)
                return;
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(ForeignLocale, RulesDoNotFollowTheSystemLocale) {
    // A decimal-comma locale really is active, or the test proves nothing.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(parseNumber("2,5"), 2.5);
    EXPECT_EQ(parseNumber("-1,5E+2"), -150);
    for (const char* text : {"2.5", "1 000", "1.000,5"})
        EXPECT_FALSE(parseNumber(text).has_value()) << text;
    EXPECT_EQ(formatNumber(12.5), "12,5");
    EXPECT_EQ(formatNumber(1234567.25), "1234567,25");
    EXPECT_EQ(formatNumber(0.00001), "1E-05");
}

} // namespace
