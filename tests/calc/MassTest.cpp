#include "calc/Mass.h"
#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "calc/NumberText.h"
#include "calc/Rounding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using sheetmass::Inputs;
using sheetmass::parseNumber;

const std::string D16 = "Д16 (1160)";
const std::string Nom = sheetmass::kModeNominal;
const std::string Up = sheetmass::kModeUpper;
const std::string Low = sheetmass::kModeLower;

std::string massText(const Inputs& in) {
    return sheetmass::massText(in, Модуль1::AlloyDensity);
}

struct Case {
    Inputs in;
    std::string expected;
};

std::string describe(const Inputs& in) {
    return in.alloy + " | " + in.mode + " | " + in.thickness + " | " + in.upper + " | " + in.lower +
           " | " + in.length + " | " + in.width + " | " + in.count + " | " + in.places;
}

void expectMass(const std::vector<Case>& cases) {
    for (const auto& [in, expected] : cases) {
        SCOPED_TRACE(describe(in));
        EXPECT_EQ(massText(in), expected);
    }
}

// One kilogram per unit of density: the shown mass is the alloy text.
Inputs kg(const std::string& mass, const std::string& places) {
    return {mass, Nom, "1", "", "", "1000", "1000", "1", places};
}

TEST(massText, WorkedSheets) {
    expectMass({
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "11,08"},
        {{D16, Up, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "11,63"},
        {{D16, Low, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "10,53"},
        {{D16, Low, "2", "0,2", "-0,2", "2000", "1000", "1", "0"}, "11"},
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1000", "10", "2"}, "110,8"},
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1000", "0", "2"}, "0"},
        {{"2,7", Nom, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "10,8"},
        // A grade first, never the number 1105.
        {{"1105", Nom, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "11,2"},
        // A lower band deeper than the nominal: Fix(-55,4 + 0,5) = -54.
        {{D16, Low, "0,1", "0,2", "-0,4", "2000", "1000", "1", "2"}, "-0,54"},
    });
}

TEST(massText, OnlyTheFieldsOfTheModeAreRead) {
    expectMass({
        {{D16, Nom, "2", "abc", "", "2000", "1000", "1", "2"}, "11,08"},
        {{D16, Up, "2", "0,2", "x", "2000", "1000", "1", "2"}, "11,63"},
        {{D16, Low, "2", "", "-0,2", "2000", "1000", "1", "2"}, "10,53"},
        // An unknown mode gives 0 without reading the thickness fields.
        {{D16, "по толщине", "abc", "", "-", "2000", "1000", "1", "2"}, "0"},
        {{D16, "номиналу ", "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "0"},
        {{D16, "Номиналу", "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "0"},
    });
}

TEST(massText, AFieldWithoutANumberEmptiesTheResult) {
    expectMass({
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1000", "", "2"}, ""},
        {{D16, Nom, "2.0", "0,2", "-0,2", "2000", "1000", "1", "2"}, ""},
        {{D16, Nom, "2", "0,2", "-0,2", "", "1000", "1", "2"}, ""},
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1 000", "1", "2"}, ""},
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1000", "1", "два"}, ""},
        {{D16, Up, "2", "", "-0,2", "2000", "1000", "1", "2"}, ""},
        {{D16, Low, "2", "0,2", "-", "2000", "1000", "1", "2"}, ""},
        // An unknown mode or alloy does not make up for a missing number.
        {{D16, "", "2", "0,2", "-0,2", "", "1000", "1", "2"}, ""},
        {{D16, "", "2", "0,2", "-0,2", "2000", "1000", "1", ""}, ""},
        {{"RR50", Nom, "2", "0,2", "-0,2", "2000", "1000", "", "2"}, ""},
    });
}

TEST(massText, AnUnusableAlloyGivesZero) {
    expectMass({
        {{"RR50", Nom, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "0"},
        {{"", Nom, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "0"},
    });
}

TEST(massText, ArithmeticBeyondDoublesEmptiesTheResult) {
    const std::string max = "1,7976931348623157E308";
    expectMass({
        {{D16, Nom, "2", "", "", "1E300", "1E300", "1", "2"}, ""},
        {{D16, Nom, "2", "", "", "1E200", "1E100", "1E10", "2"}, ""},
        {{"1E300", Nom, "2", "", "", "1E10", "1000", "1", "2"}, ""},
        {{"1E300", Nom, "1E10", "", "", "2000", "1000", "1", "2"}, ""},
        {{D16, Up, max, max, "", "2000", "1000", "1", "2"}, ""},
        // The product overflows before an unknown mode or alloy would give 0.
        {{D16, "", "2", "", "", "1E300", "1E300", "1", "2"}, ""},
        {{"", Nom, "2", "", "", "1E300", "1E300", "1", "2"}, ""},
        // 10^d, or the mass times it; 10^-400 is 0 and the cut value is divided by it.
        // clang-format off
        {kg("11,08", "400"), ""}, {kg("11,08", "308"), ""}, {kg("0", "400"), ""},
        {kg("11,08", "-400"), ""}, {kg("1E300", "15"), ""},
        // clang-format on
    });
}

TEST(massText, LargeMassesWithinRange) {
    expectMass({
        // clang-format off
        {kg("1E300", "8"), "1E+300"}, {kg("1E20", "15"), "1E+20"}, {kg("1E-320", "2"), "0"},
        // clang-format on
    });
}

TEST(massText, RoundsTheShownDecimalHalfUp) {
    expectMass({
        // clang-format off
        {kg("1,005", "2"), "1,01"}, {kg("4,005", "2"), "4,01"}, {kg("2,675", "2"), "2,68"},
        {kg("9,995", "2"), "10"}, {kg("2,5", "0"), "3"}, {kg("0,5", "0"), "1"},
        {kg("0,4999", "0"), "0"}, {kg("0,005", "1"), "0"}, {kg("0,000005", "5"), "1E-05"},
        {kg("1,23456789012345", "15"), "1,23456789012345"},
        {kg("1,23456789012345", "13"), "1,2345678901235"},
        {kg("0,0000019636797035", "15"), "1,963679704E-06"}, // doubles give ...703
        // A negative mass keeps the formula's own sign behaviour.
        {kg("-1,26", "1"), "-1,2"}, {kg("-1,25", "1"), "-1,2"}, {kg("-1,24", "1"), "-1,1"},
        {kg("-2", "0"), "-1"}, {kg("-1,005", "2"), "-1"}, {kg("-0,4", "0"), "0"},
        {kg("-0,5", "0"), "0"},
        // clang-format on
        // 2,01 × 0,5 × 1000 × 1000 is 1,005 only as shown, not as a double.
        {{"2,01", Nom, "0,5", "", "", "1000", "1000", "1", "3"}, "1,005"},
        {{"2,01", Nom, "0,5", "", "", "1000", "1000", "1", "2"}, "1,01"},
    });
}

TEST(massText, PlacesOutsideZeroToFifteenUseTheFormula) {
    expectMass({
        // clang-format off
        {kg("11,08", "-1"), "10"}, {kg("11,08", "0,5"), "11,0679718105893"},
        {kg("11,08", "-0,5"), "12,6491106406735"}, {kg("11,08", "16"), "11,08"},
        {kg("11,08", "1E-400"), "11"}, {kg("-15", "-1"), "-10"},
        // clang-format on
    });
}

TEST(roundShown, WorksOnTheShownText) {
    EXPECT_FALSE(sheetmass::roundShown("", 2).has_value());
    EXPECT_FALSE(sheetmass::roundShown("1.5", 2).has_value());
    EXPECT_EQ(sheetmass::roundShown("1,005", 2), 1.01);
    EXPECT_EQ(sheetmass::roundShown("1E+16", 15), 1e16);
}

// 1 to 6 whole digits and 1 to 8 fraction digits: a field of a random sheet.
std::string randomDecimal(std::mt19937& random) {
    const unsigned whole = 1 + random() % 6, fraction = 1 + random() % 8;
    std::string text;
    for (unsigned i = 0; i < whole + fraction; ++i)
        text += (i == whole ? "," : "") + std::string(1, static_cast<char>('0' + random() % 10));
    return text;
}

// Decimal places of a number text: "1,25" has 2, "1,2E-06" has 7.
int placesOf(const std::string& text) {
    const auto comma = text.find(','), e = text.find('E');
    const auto fraction = comma == std::string::npos ? 0 : std::min(e, text.size()) - comma - 1;
    return std::max(0, static_cast<int>(fraction) -
                           (e == text.npos ? 0 : std::stoi(text.substr(e + 1))));
}

// Each round checks a random sheet against its mass, and a random shown mass
// against its exact decimal, where ties must go up.
TEST(massText, RandomSheetsRoundWithinHalfAUnit) {
    std::mt19937 random(1105);
    const std::string modes[] = {Nom, Up, Low};
    for (int i = 0; i < 4000; ++i) {
        const int d = static_cast<int>(random() % 16);
        const double halfUnit = 0.5 * std::pow(10.0, -d);
        Inputs sheet =
            kg(random() % 10 < 7
                   ? std::string(sheetmass::kAlloys[random() % sheetmass::kAlloyCount].grade)
                   : "2," + std::to_string(random() % 100),
               std::to_string(d));
        sheet.mode = modes[random() % 3];
        for (auto* field :
             {&sheet.thickness, &sheet.upper, &sheet.lower, &sheet.length, &sheet.width})
            *field = randomDecimal(random);
        sheet.lower.insert(0, "-");
        sheet.count = std::to_string(random() % 10000);
        SCOPED_TRACE(describe(sheet));
        const auto got = parseNumber(massText(sheet));
        ASSERT_TRUE(got.has_value());
        double t = *parseNumber(sheet.thickness);
        if (sheet.mode != Nom)
            t += *parseNumber(sheet.mode == Up ? sheet.upper : sheet.lower) / 2;
        const double m = Модуль1::AlloyDensity(sheet.alloy) * t * *parseNumber(sheet.length) *
                         *parseNumber(sheet.width) * *parseNumber(sheet.count) / 1e6;
        if (m >= 0) {
            EXPECT_LE(std::fabs(*got - m), halfUnit + 1e-13 * m);
        }

        // A shown mass of up to 15 digits; half of them end in a 5 just past the last place.
        std::string mass;
        for (unsigned n = 1 + random() % 15; mass.size() < n;)
            mass += static_cast<char>('0' + random() % 10);
        const bool tie = random() % 2;
        if (tie)
            mass.back() = '5';
        mass += "E-" + std::to_string(tie ? d + 1 : random() % 17);
        const double x = *parseNumber(mass);
        const std::string shown = sheetmass::formatNumber(x),
                          result = massText(kg(mass, sheet.places));
        SCOPED_TRACE(shown + " → " + result);
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
