#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace {

using sheetmass::kAlloys;
using Модуль1::AlloyDensity;

TEST(AlloyDensity, MatchesGradesExactlyAndFallsBackToTheText) {
    const struct {
        const char* text;
        double density;
    } cases[] = {
        // clang-format off
        // A grade matches byte for byte: its blanks, its capital Г, its Latin C.
        {"RR50 ", 2.73}, {"RR50", 0}, {" RR50 ", 0}, {"RR50  ", 0}, {"rr50 ", 0},
        {"АМГ4 ", 2.67}, {"АМг4 ", 0}, {"АМц\x43 (1401)", 2.73}, {"АМц\u0421 (1401)", 0},
        {"АВ (1340)", 2.7}, {"АД31 (1340)", 2.71},
        // A grade first, then the text as a number.
        {"1105", 2.8}, {"1973", 2.85}, {"1974", 1974}, {"2,94", 2.94}, {" 2,7 ", 2.7},
        {"2.7", 0}, {"", 0}, {"сталь", 0}, {"1E400", 0}, {"nan", 0},
        // clang-format on
    };
    for (const auto& [text, density] : cases)
        EXPECT_EQ(AlloyDensity(text), density) << '"' << text << '"';
}

// Every grade reads as a density of aluminium alloys, and all 94 together
// give the worked sum of the shipped densities: a lookup that matched another
// grade, a prefix, or no grade would move it.
TEST(AlloyDensity, EveryGradeGivesAShippedDensity) {
    std::set<double> densities;
    double sum = 0;
    for (const auto& alloy : kAlloys) {
        const double density = AlloyDensity(alloy.grade);
        EXPECT_GE(density, 2.2) << alloy.grade;
        EXPECT_LE(density, 2.94) << alloy.grade;
        densities.insert(density);
        sum += density;
    }
    EXPECT_EQ(densities.size(), 29u);
    EXPECT_EQ(*densities.begin(), 2.2);
    EXPECT_EQ(*densities.rbegin(), 2.94);
    EXPECT_NEAR(sum, 257.44, 1e-9);
}

TEST(AlloyTable, HoldsTheShippedList) {
    ASSERT_EQ(kAlloys.size(), 94u);
    EXPECT_EQ(kAlloys.front().grade, "1105");
    EXPECT_EQ(kAlloys.back().grade, "ММ (1403)");
    // The look-alikes the grades were shipped with: a Latin C, a capital Г,
    // two different texts that carry "(1340)".
    EXPECT_EQ(kAlloys[68].grade, "АМц\x43 (1401)");
    EXPECT_EQ(kAlloys[61].grade, "АМГ4 ");
    EXPECT_EQ(kAlloys[17].grade, "АВ (1340)");
    EXPECT_EQ(kAlloys[20].grade, "АД31 (1340)");
    std::set<std::string_view> grades;
    int withBlank = 0;
    for (const auto& [grade, density] : kAlloys) {
        EXPECT_TRUE(grades.insert(grade).second) << "twice: " << grade;
        ASSERT_FALSE(grade.empty());
        EXPECT_NE(grade.front(), ' ') << grade;
        EXPECT_EQ(grade.find("  "), std::string_view::npos) << grade;
        withBlank += grade.back() == ' ';
    }
    EXPECT_EQ(withBlank, 50);
    // Bare four-digit designations come first, before any grade with letters.
    for (std::size_t i = 0; i < kAlloys.size(); ++i)
        EXPECT_EQ(kAlloys[i].grade.find_first_not_of("0123456789") == std::string_view::npos,
                  i < 14)
            << i;
}

} // namespace
