#include "calc/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace {

using sheetmass::FormatNumber;
using sheetmass::ParseNumber;

struct Accepted {
    const char* text;
    double value;
};

TEST(ParseNumber, AcceptsTheFieldForms) {
    const Accepted cases[] = {
        {"0", 0},
        {"5", 5},
        {"007", 7},
        {"2,5", 2.5},
        {"-0,2", -0.2},
        {"-0,125", -0.125},
        {"2,", 2},
        {",5", 0.5},
        {"-,5", -0.5},
        {"-2,", -2},
        {"1,000", 1},
        {"2000", 2000},
        {"1E3", 1000},
        {"1e3", 1000},
        {"1,5E+2", 150},
        {"2,5e-1", 0.25},
        {"-1E-2", -0.01},
        {"1,E5", 100000},
        {",5E1", 5},
        {"1E0", 1},
        {"1E007", 1e7},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"1,7976931348623157E308", std::numeric_limits<double>::max()},
        {"4,9E-324", std::numeric_limits<double>::denorm_min()},
        // Blanks around the number are tolerated: a pasted or restored text
        // often carries them and the value is not in doubt.
        {" 2,5", 2.5},
        {"2,5 ", 2.5},
        {"   -3   ", -3},
        {" 1E3 ", 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = ParseNumber(c.text);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, c.value);
    }
}

TEST(ParseNumber, UnderflowReadsAsZeroOfItsSign) {
    const char* positive[] = {"1E-400",    "0,0001E-321", "2,4E-324",
                              "10E-99999", "0E400",       "0,000E999999"};
    for (const char* text : positive) {
        SCOPED_TRACE(text);
        const auto value = ParseNumber(text);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, 0.0);
        EXPECT_FALSE(std::signbit(*value));
    }
    const auto negative = ParseNumber("-1E-400");
    ASSERT_TRUE(negative.has_value());
    EXPECT_EQ(*negative, 0.0);
    EXPECT_EQ(FormatNumber(*negative), "0");
}

TEST(ParseNumber, RefusesEverythingElse) {
    const char* cases[] = {
        "",
        " ",
        "   ",
        "-",
        ",",
        "-,",
        "+5",
        "+",
        "--5",
        "5-",
        "5-3",
        "- 5",
        "2.5",
        ".5",
        "5.",
        ".",
        "1.000,5",
        "1,2,3",
        "1,,2",
        ",,",
        "1 000",
        "1 5",
        "2 ,5",
        "2, 5",
        "1'000",
        "1_000",
        "inf",
        "-inf",
        "INF",
        "infinity",
        "nan",
        "NaN",
        "-nan",
        "0x1A",
        "0x10",
        "0X1p3",
        "1E",
        "1E+",
        "1E-",
        "E5",
        "e",
        ",E5",
        "1E 5",
        "1 E5",
        "1E5,5",
        "1E1E1",
        "1E+-1",
        "1E400",
        "-1E400",
        "1,7976931348623159E308",
        "1000000000000000000000000000000E290",
        "0,1E310",
        "\t5",
        "5\t",
        "5\n",
        "\n",
        "\xC2\xA0"
        "5", // no-break space
        "\xE2\x88\x92"
        "5", // minus sign U+2212
        "2,5ж",
        "пять",
        "2,5%",
        "0,5/2",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(std::string("\"") + text + "\"");
        EXPECT_FALSE(ParseNumber(text).has_value());
    }
}

TEST(ParseNumber, ReadsExactlyTheGivenView) {
    using namespace std::string_view_literals;
    // A NUL is a character like any other, not the end of the text.
    EXPECT_FALSE(ParseNumber("12\0"sv).has_value());
    EXPECT_FALSE(ParseNumber("\0"
                             "12"sv)
                     .has_value());
    EXPECT_EQ(ParseNumber(std::string_view("12,5xyz", 4)), 12.5);
}

struct Formatted {
    double value;
    const char* text;
};

TEST(FormatNumber, ShortestGeneralFormWithComma) {
    const Formatted cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {12.5, "12,5"},
        {0.5, "0,5"},
        {-2.5, "-2,5"},
        {11.08, "11,08"},
        {100, "100"},
        {2000000, "2000000"},
        {1.005, "1,005"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3, "0,333333333333333"},
        {2.0 / 3, "0,666666666666667"},
        {0.0001, "0,0001"},
        {0.00001, "1E-05"},
        {-0.00001234, "-1,234E-05"},
        {999999999999999, "999999999999999"},
        {1e14, "100000000000000"},
        {1e15, "1E+15"},
        {1e16, "1E+16"},
        {123456789012345678.0, "1,23456789012346E+17"},
        {1e300, "1E+300"},
        {std::numeric_limits<double>::max(), "1,79769313486232E+308"},
        {std::numeric_limits<double>::denorm_min(), "4,94065645841247E-324"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatNumber(c.value), c.text);
    }
}

TEST(FormatNumber, LargestDoubleShowsBeyondTheRange) {
    // So a mass this large cannot be read back for rounding.
    EXPECT_FALSE(ParseNumber(FormatNumber(std::numeric_limits<double>::max())).has_value());
}

TEST(FormatNumber, NoTextForValuesThatAreNotFinite) {
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN()), "");
}

// The text of a value reads back, and reading and showing it again changes
// nothing: the result field can be read back and rounded safely.
TEST(NumberText, ShownTextReadsBackUnchanged) {
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<std::uint64_t> bits;
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t pattern = bits(random);
        double value = 0;
        std::memcpy(&value, &pattern, sizeof value);
        // 15 digits round the largest doubles up beyond the range.
        if (!std::isfinite(value) || std::fabs(value) >= 1.797693134862315e308)
            continue;
        const std::string text = FormatNumber(value);
        SCOPED_TRACE(text);
        const auto back = ParseNumber(text);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(FormatNumber(*back), text);
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
        for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                active_ = name;
                return;
            }
        }
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
    const char* active_ = nullptr;
};

TEST_F(ForeignLocale, RulesDoNotFollowTheSystemLocale) {
    SCOPED_TRACE(active_);
    // The locale really is a decimal-comma one, or the test proves nothing.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(ParseNumber("2,5"), 2.5);
    EXPECT_EQ(ParseNumber("-1,5E+2"), -150);
    EXPECT_FALSE(ParseNumber("2.5").has_value());
    EXPECT_FALSE(ParseNumber("1 000").has_value());
    EXPECT_FALSE(ParseNumber("1.000,5").has_value());
    EXPECT_EQ(FormatNumber(12.5), "12,5");
    EXPECT_EQ(FormatNumber(1234567.25), "1234567,25");
    EXPECT_EQ(FormatNumber(0.00001), "1E-05");
}

} // namespace
