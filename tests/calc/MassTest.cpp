#include "calc/Mass.h"
#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "calc/NumberText.h"
#include "tests/support/WorkedSheets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <string_view>
#include <utility>
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
    std::vector<Case> cases;
    for (const auto& [in, mass] : sheetmass::worked::kSheets)
        cases.push_back({in, mass});
    expectMass(cases);
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
        // The rounding fails: 10^d, or the mass times it.
        {kg("11,08", "400"), ""},
        {kg("1E300", "15"), ""},
    });
}

TEST(massText, RoundsTheShownMassToThePlacesText) {
    expectMass({
        // clang-format off
        {kg("1E300", "8"), "1E+300"}, {kg("1E20", "15"), "1E+20"}, {kg("1E-320", "2"), "0"},
        {kg("-1,26", "1"), "-1,2"}, {kg("11,08", "0,5"), "11,0679718105893"},
        {kg("11,08", "1E-400"), "11"}, {kg("11,08", " 1 "), "11,1"},
        // A half at the last place, carries, and masses beyond 15 digits.
        {kg("0,125", "2"), "0,13"}, {kg("-0,125", "2"), "-0,12"}, {kg("1234567,5", "0"), "1234568"},
        {kg("99999999999999,9", "0"), "100000000000000"}, {kg("9,99999999999999", "14"), "9,99999999999999"},
        {kg("9,99999999999999", "13"), "10"}, {kg("1E15", "0"), "1E+15"}, {kg("1E-14", "15"), "1E-14"},
        {kg("0,00001", "5"), "1E-05"}, {kg("-0,5", "0"), "0"},
        // clang-format on
        // 2,01 × 0,5 × 1000 × 1000 is 1,005 only as shown, not as a double.
        {{"2,01", Nom, "0,5", "", "", "1000", "1000", "1", "3"}, "1,005"},
        {{"2,01", Nom, "0,5", "", "", "1000", "1000", "1", "2"}, "1,01"},
    });
}

// What the result was worked from, as the result field's tooltip tells it: a
// lower deviation typed without its sign shows as a thicker sheet. Without a
// mass, the first input from the top of the window that keeps it, in the
// batch's words; no 0 kg for a sheet of no mode or no alloy.
TEST(massResult, ThicknessAndOneSheetBesideTheResult) {
    const struct {
        Inputs in;
        const char *mass, *thickness, *sheetMass, *none;
    } cases[] = {
        {{D16, Low, "2", "0,2", "-0,2", "2000", "1000", "10", "2"}, "105,26", "1,9", "10,526", ""},
        {{D16, Low, "2", "0,2", "0,2", "2000", "1000", "1", "0"}, "12", "2,1", "11,634", ""},
        {{D16, Up, "2", "0,2", "-0,2", "2000", "1000", "0", "2"}, "0", "2,1", "11,634", ""},
        {{"0", Nom, "2", "", "", "2000", "1000", "1", "2"}, "0", "2", "0", ""},
        {{D16, "", "2", "0,2", "-0,2", "2000", "1000", "3", "2"},
         "",
         "",
         "",
         "считать массу по — пусто"},
        {{"", "", "", "", "", "", "", "", "0"}, "", "", "", "считать массу по — пусто"},
        {{D16, "Номиналу", "2", "", "", "2000", "1000", "3", "2"},
         "",
         "",
         "",
         "считать массу по — не «номиналу», не «центру верхнего отклонения» и не «центру "
         "нижнего отклонения»"},
        {{"", Nom, "2", "", "", "2000", "1000", "1", "2"}, "", "", "", "сплав — пусто"},
        {{"RR50", Nom, "2", "", "", "2000", "1000", "1", "2"},
         "",
         "",
         "",
         "сплав — не марка из списка и не плотность"},
        {{D16, Low, "2,5,5", "", "", "2000", "1000", "1", "2"},
         "",
         "",
         "",
         "толщина листа — не число"},
        {{D16, Low, "2", "0,2", "", "2000", "1000", "1", "2"},
         "",
         "",
         "",
         "нижнее отклонение — пусто"},
        {{D16, Up, "2", "", "", "2000", "", "1", "2"}, "", "", "", "верхнее отклонение — пусто"},
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "", "1", "2"}, "", "", "", "ширина листа — пусто"},
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1000", "", "2"}, "", "", "", "количество — пусто"},
        {{D16, Nom, "2", "0,2", "-0,2", "2000", "1000", "1", "x"},
         "",
         "",
         "",
         "знаков после запятой — не число"},
        {{D16, Nom, "2", "", "", "1E200", "1E200", "1", "2"}, "", "", "", "числа вне пределов"},
    };
    for (const auto& [in, mass, thickness, sheetMass, none] : cases) {
        SCOPED_TRACE(describe(in));
        const auto result =
            sheetmass::massResult(in, Модуль1::AlloyDensity, sheetmass::gradesNumbered);
        EXPECT_EQ(result.mass, mass);
        EXPECT_EQ(result.thickness, thickness);
        EXPECT_EQ(result.sheetMass, sheetMass);
        EXPECT_EQ(result.none ? sheetmass::blockerText(*result.none) : "", none);
        if (!result.none) {
            EXPECT_EQ(result.mass, massText(in));
        }
    }
}

std::string lookedUp;

double recordingLookup(std::string_view alloy) {
    lookedUp = alloy;
    return 2;
}

TEST(massText, AsksTheCallersLookupWithTheAlloyTextAsTyped) {
    for (const char* alloy : {" RR50 ", "2,77", "", "Д16 (1160)"}) {
        lookedUp = "not asked";
        Inputs in = kg(alloy, "2");
        EXPECT_EQ(sheetmass::massText(in, recordingLookup), "2");
        EXPECT_EQ(lookedUp, alloy);
    }
}

// 1 to 6 whole digits and 1 to 8 fraction digits: a field of a random sheet.
std::string randomDecimal(std::mt19937& random) {
    const unsigned whole = 1 + random() % 6, fraction = 1 + random() % 8;
    std::string text;
    for (unsigned i = 0; i < whole + fraction; ++i) {
        if (i == whole)
            text += ',';
        text += static_cast<char>('0' + random() % 10);
    }
    return text;
}

double shown(const Inputs& in) {
    return parseNumber(massText(in)).value_or(NAN);
}

// What holds between related random sheets, worked out without the formula:
// length and width trade places, a grade and its density typed are the same
// sheet, the upper and lower bands of one deviation lie as far either side of
// the nominal, and fewer places are the finest mass rounded.
TEST(massText, RandomSheetsKeepTheirRelations) {
    std::mt19937 random(1105);
    for (int i = 0; i < 2000; ++i) {
        const auto& alloy = sheetmass::kAlloys[random() % sheetmass::kAlloyCount];
        Inputs sheet = kg(std::string(alloy.grade), "15");
        for (auto* field : {&sheet.thickness, &sheet.upper, &sheet.length, &sheet.width})
            *field = randomDecimal(random);
        sheet.lower = "-" + sheet.upper;
        sheet.count = std::to_string(random() % 10000);
        SCOPED_TRACE(describe(sheet));
        const double fine = shown(sheet);
        ASSERT_TRUE(fine >= 0) << massText(sheet);

        Inputs other = sheet;
        std::swap(other.length, other.width);
        EXPECT_EQ(massText(other), massText(sheet));
        other = sheet;
        other.alloy = sheetmass::formatNumber(alloy.density);
        EXPECT_EQ(massText(other), massText(sheet));
        other.mode = Up;
        const double up = shown(other);
        other.mode = Low;
        const double low = shown(other);
        EXPECT_GE(up, fine);
        EXPECT_NEAR((up + low) / 2, fine, 1e-12 * up + 2e-15);
        const int d = static_cast<int>(random() % 15);
        other = sheet;
        other.places = std::to_string(d);
        EXPECT_NEAR(shown(other), fine, 0.5 * std::pow(10.0, -d) + 1e-13 * fine);
    }
}

} // namespace
