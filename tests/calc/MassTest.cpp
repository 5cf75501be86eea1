#include "calc/Mass.h"
#include "alloys/AlloyTable.h"
#include "calc/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <string>

namespace {

using sheetmass::FormatNumber;
using sheetmass::Inputs;
using sheetmass::MassText;
using sheetmass::ParseNumber;

// Д16, nominal 2 mm with ±0,2, a 2000 × 1000 sheet, one sheet, two places.
Inputs sheet() {
    return {"Д16 (1160)", sheetmass::kModeNominal, "2", "0,2", "-0,2", "2000", "1000", "1", "2"};
}

struct Case {
    const char* name;
    Inputs in;
    const char* expected;
};

template <typename Change> Inputs with(Change change) {
    Inputs in = sheet();
    change(in);
    return in;
}

void check(const Case& c) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MassText(c.in), c.expected);
}

TEST(MassText, WorkedSheets) {
    const Case cases[] = {
        {"nominal", sheet(), "11,08"},
        {"upper band", with([](Inputs& in) { in.mode = sheetmass::kModeUpper; }), "11,63"},
        {"lower band", with([](Inputs& in) { in.mode = sheetmass::kModeLower; }), "10,53"},
        {"whole kilograms", with([](Inputs& in) {
             in.mode = sheetmass::kModeLower;
             in.places = "0";
         }),
         "11"},
        {"upper band of 0,3", with([](Inputs& in) {
             in.mode = sheetmass::kModeUpper;
             in.upper = "0,3";
         }),
         "11,91"},
        {"three places", with([](Inputs& in) { in.places = "3"; }), "11,08"},
        {"ten sheets", with([](Inputs& in) { in.count = "10"; }), "110,8"},
        {"count 0", with([](Inputs& in) { in.count = "0"; }), "0"},
        {"typed density", with([](Inputs& in) { in.alloy = "2,7"; }), "10,8"},
        {"four-digit grade is a grade", with([](Inputs& in) { in.alloy = "1105"; }), "11,2"},
        {"last grade", with([](Inputs& in) { in.alloy = "ММ (1403)"; }), "10,92"},
        {"places with a comma", with([](Inputs& in) { in.places = "2,"; }), "11,08"},
        // A lower band deeper than the nominal gives a negative mass, rounded
        // by the same formula: Fix(-55,4 + 0,5) = -54.
        {"negative thickness", with([](Inputs& in) {
             in.mode = sheetmass::kModeLower;
             in.thickness = "0,1";
             in.lower = "-0,4";
         }),
         "-0,54"},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(MassText, OnlyTheFieldsOfTheModeAreRead) {
    const Case cases[] = {
        {"nominal ignores both deviations", with([](Inputs& in) {
             in.upper = "abc";
             in.lower = "";
         }),
         "11,08"},
        {"upper band ignores the lower deviation", with([](Inputs& in) {
             in.mode = sheetmass::kModeUpper;
             in.lower = "x";
         }),
         "11,63"},
        {"lower band ignores the upper deviation", with([](Inputs& in) {
             in.mode = sheetmass::kModeLower;
             in.upper = "";
         }),
         "10,53"},
        {"unknown mode reads no thickness", with([](Inputs& in) {
             in.mode = "по толщине";
             in.thickness = "abc";
             in.upper = "";
             in.lower = "-";
         }),
         "0"},
        {"empty mode", with([](Inputs& in) {
             in.mode = "";
             in.thickness = "";
         }),
         "0"},
        {"mode with a trailing blank", with([](Inputs& in) { in.mode = "номиналу "; }), "0"},
        {"mode in another case", with([](Inputs& in) { in.mode = "Номиналу"; }), "0"},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(MassText, AFieldWithoutANumberEmptiesTheResult) {
    const Case cases[] = {
        {"empty count", with([](Inputs& in) { in.count = ""; }), ""},
        {"empty thickness", with([](Inputs& in) { in.thickness = ""; }), ""},
        {"thickness with a dot", with([](Inputs& in) { in.thickness = "2.0"; }), ""},
        {"empty length", with([](Inputs& in) { in.length = ""; }), ""},
        {"grouped width", with([](Inputs& in) { in.width = "1 000"; }), ""},
        {"two commas", with([](Inputs& in) { in.length = "1,,2"; }), ""},
        {"minus inside", with([](Inputs& in) { in.length = "5-3"; }), ""},
        {"empty places", with([](Inputs& in) { in.places = ""; }), ""},
        {"places in words", with([](Inputs& in) { in.places = "два"; }), ""},
        {"upper band, empty upper deviation", with([](Inputs& in) {
             in.mode = sheetmass::kModeUpper;
             in.upper = "";
         }),
         ""},
        {"lower band, lower deviation a lone minus", with([](Inputs& in) {
             in.mode = sheetmass::kModeLower;
             in.lower = "-";
         }),
         ""},
        // The mode and the alloy cannot rescue a missing dimension.
        {"unknown mode, empty length", with([](Inputs& in) {
             in.mode = "";
             in.length = "";
         }),
         ""},
        {"unknown mode, empty places", with([](Inputs& in) {
             in.mode = "";
             in.places = "";
         }),
         ""},
        {"unknown alloy, empty count", with([](Inputs& in) {
             in.alloy = "RR50";
             in.count = "";
         }),
         ""},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(MassText, AnUnusableAlloyGivesZero) {
    const Case cases[] = {
        {"grade without its blank", with([](Inputs& in) { in.alloy = "RR50"; }), "0"},
        {"empty alloy", with([](Inputs& in) { in.alloy = ""; }), "0"},
        {"letters", with([](Inputs& in) { in.alloy = "сталь"; }), "0"},
        {"density out of range", with([](Inputs& in) { in.alloy = "1E400"; }), "0"},
        {"unknown alloy and unknown mode", with([](Inputs& in) {
             in.alloy = "";
             in.mode = "";
         }),
         "0"},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(MassText, ArithmeticBeyondDoublesEmptiesTheResult) {
    const Case cases[] = {
        {"length times width", with([](Inputs& in) {
             in.length = "1E300";
             in.width = "1E300";
         }),
         ""},
        {"count times area", with([](Inputs& in) {
             in.length = "1E200";
             in.width = "1E100";
             in.count = "1E10";
         }),
         ""},
        {"volume times density", with([](Inputs& in) {
             in.alloy = "1E300";
             in.length = "1E10";
         }),
         ""},
        {"times thickness", with([](Inputs& in) {
             in.alloy = "1E300";
             in.thickness = "1E10";
         }),
         ""},
        {"nominal plus half deviation", with([](Inputs& in) {
             in.mode = sheetmass::kModeUpper;
             in.thickness = "1,7976931348623157E308";
             in.upper = "1,7976931348623157E308";
         }),
         ""},
        // The product is formed before the missing thickness counts as 0.
        {"overflow with an unknown mode", with([](Inputs& in) {
             in.mode = "";
             in.length = "1E300";
             in.width = "1E300";
         }),
         ""},
        {"overflow with an unknown alloy", with([](Inputs& in) {
             in.alloy = "";
             in.length = "1E300";
             in.width = "1E300";
         }),
         ""},
        {"10^400", with([](Inputs& in) { in.places = "400"; }), ""},
        {"10^309", with([](Inputs& in) { in.places = "309"; }), ""},
        {"mass times 10^308", with([](Inputs& in) { in.places = "308"; }), ""},
        {"zero mass times 10^400", with([](Inputs& in) {
             in.count = "0";
             in.places = "400";
         }),
         ""},
        // 10^-400 is 0, and the cut value is then divided by it.
        {"division by 10^-400", with([](Inputs& in) { in.places = "-400"; }), ""},
        {"1E300 kg at 15 places", with([](Inputs& in) {
             in.alloy = "1E300";
             in.thickness = "1";
             in.length = "1000";
             in.width = "1000";
             in.places = "15";
         }),
         ""},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(MassText, LargeMassesWithinRange) {
    const Case cases[] = {
        {"1E300 kg at 8 places", with([](Inputs& in) {
             in.alloy = "1E300";
             in.thickness = "1";
             in.length = "1000";
             in.width = "1000";
             in.places = "8";
         }),
         "1E+300"},
        {"1E20 kg at 15 places", with([](Inputs& in) {
             in.alloy = "1E20";
             in.thickness = "1";
             in.length = "1000";
             in.width = "1000";
             in.places = "15";
         }),
         "1E+20"},
        {"a tiny mass rounds to 0", with([](Inputs& in) { in.alloy = "1E-320"; }), "0"},
    };
    for (const auto& c : cases)
        check(c);
}

// One kilogram per unit of density: the shown mass is the density text.
Inputs massOf(const char* kilograms, const char* places) {
    return {kilograms, sheetmass::kModeNominal, "1", "", "", "1000", "1000", "1", places};
}

struct Rounding {
    const char* mass;
    const char* places;
    const char* expected;
};

TEST(MassText, RoundsTheShownDecimalHalfUp) {
    const Rounding cases[] = {
        {"1,005", "2", "1,01"},
        {"4,005", "2", "4,01"},
        {"2,675", "2", "2,68"},
        {"1,125", "2", "1,13"},
        {"0,125", "2", "0,13"},
        {"9,995", "2", "10"},
        {"0,5", "0", "1"},
        {"1,5", "0", "2"},
        {"2,5", "0", "3"},
        {"0,4999", "0", "0"},
        {"12345678,5", "0", "12345679"},
        {"0,000005", "5", "1E-05"},
        {"0,0000049", "5", "0"},
        {"1,23456789012345", "15", "1,23456789012345"},
        {"1,23456789012345", "13", "1,2345678901235"},
        {"123456789012345", "0", "123456789012345"},
        {"99999999999999,5", "0", "100000000000000"},
        {"1,005", "3", "1,005"},
        // A negative mass keeps the formula's own sign behaviour.
        {"-1,26", "1", "-1,2"},
        {"-1,25", "1", "-1,2"},
        {"-1,24", "1", "-1,1"},
        {"-2", "0", "-1"},
        {"-1,5", "0", "-1"},
        {"-0,4", "0", "0"},
        {"-0,5", "0", "0"},
        {"-0,7", "0", "0"},
        {"-11,08", "2", "-11,07"},
        {"-1,005", "2", "-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mass) + " at " + c.places);
        EXPECT_EQ(MassText(massOf(c.mass, c.places)), c.expected);
    }
}

TEST(MassText, RoundsAComputedHalfUp) {
    // 2,01 × 0,5 mm × 1000 × 1000 mm is 1,005 kg but a little more or less in
    // doubles; the shown 1,005 is what gets rounded.
    Inputs in{"2,01", sheetmass::kModeNominal, "0,5", "", "", "1000", "1000", "1", "3"};
    EXPECT_EQ(MassText(in), "1,005");
    in.places = "2";
    EXPECT_EQ(MassText(in), "1,01");
}

double placesFormula(double x, double d) {
    return std::trunc(x * std::pow(10.0, d) + 0.5) / std::pow(10.0, d);
}

TEST(MassText, PlacesOutsideZeroToFifteenUseTheFormula) {
    const struct {
        const char* places;
        double d;
    } cases[] = {{"-1", -1}, {"-2", -2}, {"0,5", 0.5},  {"1,5", 1.5},
                 {"16", 16}, {"20", 20}, {"-0,5", -0.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.places);
        EXPECT_EQ(MassText(with([&](Inputs& in) { in.places = c.places; })),
                  FormatNumber(placesFormula(11.08, c.d)));
    }
    EXPECT_EQ(MassText(with([](Inputs& in) { in.places = "-1"; })), "10");
    EXPECT_EQ(MassText(with([](Inputs& in) { in.places = "16"; })), "11,08");
    EXPECT_EQ(MassText(with([](Inputs& in) { in.places = "1E-400"; })), "11");
}

TEST(RoundShown, WorksOnTheShownText) {
    EXPECT_FALSE(sheetmass::RoundShown("", 2).has_value());
    EXPECT_FALSE(sheetmass::RoundShown("1.5", 2).has_value());
    EXPECT_EQ(sheetmass::RoundShown("1,005", 2), 1.01);
    EXPECT_EQ(sheetmass::RoundShown("1E+16", 15), 1e16);
}

std::string randomNumber(std::mt19937& random, int wholeDigits, int fractionDigits) {
    std::uniform_int_distribution<int> digit(0, 9);
    std::string text;
    for (int i = 0; i < wholeDigits; ++i)
        text += static_cast<char>('0' + digit(random));
    if (fractionDigits > 0) {
        text += ',';
        for (int i = 0; i < fractionDigits; ++i)
            text += static_cast<char>('0' + digit(random));
    }
    return text;
}

int fractionDigitsOf(const std::string& text) {
    const auto comma = text.find(',');
    return comma == std::string::npos ? 0 : static_cast<int>(text.size() - comma - 1);
}

TEST(MassText, RandomSheetsRoundWithinHalfAUnit) {
    std::mt19937 random(1105);
    std::uniform_int_distribution<int> pick(0, 99);
    std::uniform_int_distribution<std::size_t> grade(0, sheetmass::kAlloyCount - 1);
    std::uniform_int_distribution<int> small(0, 3);
    std::uniform_int_distribution<int> places(0, 15);
    const char* modes[] = {sheetmass::kModeNominal, sheetmass::kModeUpper, sheetmass::kModeLower};
    std::uniform_int_distribution<int> mode(0, 2);

    int rounded = 0;
    for (int i = 0; i < 4000; ++i) {
        Inputs in;
        in.alloy = pick(random) < 70 ? std::string(sheetmass::kAlloys[grade(random)].grade)
                                     : "2," + randomNumber(random, 2, 0);
        in.mode = modes[mode(random)];
        in.thickness = randomNumber(random, 1 + small(random), small(random));
        in.upper = randomNumber(random, 1, small(random));
        in.lower = "-" + randomNumber(random, 1, small(random));
        in.length = randomNumber(random, 1 + small(random), small(random));
        in.width = randomNumber(random, 1 + small(random), small(random));
        in.count = randomNumber(random, 1 + small(random), 0);
        const int d = places(random);
        in.places = std::to_string(d);
        SCOPED_TRACE(in.alloy + " | " + in.mode + " | " + in.thickness + " | " + in.upper + " | " +
                     in.lower + " | " + in.length + " | " + in.width + " | " + in.count + " | " +
                     in.places);

        const std::string result = MassText(in);
        const auto value = ParseNumber(result);
        ASSERT_TRUE(value.has_value()) << result;

        // The unrounded mass as the calculation forms and shows it.
        double rho = ParseNumber(in.alloy).value_or(0);
        for (const auto& alloy : sheetmass::kAlloys)
            if (alloy.grade == in.alloy)
                rho = *ParseNumber(alloy.density);
        double t = *ParseNumber(in.thickness);
        if (in.mode == sheetmass::kModeUpper)
            t = *ParseNumber(in.upper) / 2 + t;
        else if (in.mode == sheetmass::kModeLower)
            t = *ParseNumber(in.lower) / 2 + t;
        const double volume =
            *ParseNumber(in.count) * (*ParseNumber(in.width) * *ParseNumber(in.length));
        const std::string shown = FormatNumber(volume * rho * t / 1e6);
        const double x = *ParseNumber(shown);
        if (x < 0)
            continue;
        ++rounded;

        const double halfUnit = 0.5 * std::pow(10.0, -d);
        const double slack = 1e-12 * halfUnit + 4e-16 * std::fabs(x);
        EXPECT_LE(*value - x, halfUnit + slack) << shown << " → " << result;
        // Half up: a value exactly half a unit above the rounded one is a tie
        // that went the wrong way.
        EXPECT_TRUE(*value == x || x - *value < halfUnit - slack) << shown << " → " << result;
        EXPECT_GE(*value, 0);
        if (result.find('E') == std::string::npos) {
            EXPECT_LE(fractionDigitsOf(result), d) << result;
        }
        if (fractionDigitsOf(shown) <= d && shown.find('E') == std::string::npos) {
            EXPECT_EQ(result, shown);
        }
    }
    EXPECT_GT(rounded, 3000);
}

} // namespace
