#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "calc/NumberText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

namespace {

using sheetmass::kAlloys;
using Модуль1::AlloyDensity;

struct Lookup {
    const char* text;
    double density;
};

TEST(AlloyDensity, MatchesGradesExactlyAndFallsBackToTheText) {
    const Lookup cases[] = {
        {"RR50 ", 2.73},
        {"RR50", 0},   // the blank belongs to the grade
        {" RR50 ", 0}, // and nothing is trimmed
        {"RR50  ", 0},
        {"rr50 ", 0},
        {"АМГ4 ", 2.67},
        {"АМг4 ", 0},          // small г: that family's usual spelling, but not this entry's
        {"АМцC (1401)", 2.73}, // Latin C, as in the table
        {"АМцС (1401)", 0},    // Cyrillic С
        {"АД1 ", 2.71},
        {"АД1", 0},
        {"Д16 (1160)", 2.77},
        {"Д16", 0},
        {"АВ (1340)", 2.7},
        {"АД31 (1340)", 2.71},
        {"ВИ-11-3 ", 2.2},
        {"АЛ11", 2.94},
        {"ММ (1403)", 2.73},
        {"1105", 2.8}, // a grade first, never the number 1105
        {"1973", 2.85},
        {"1974", 1974},
        {"2,94", 2.94},
        {"2,7", 2.7},
        {" 2,7 ", 2.7},
        {"2.7", 0},
        {"", 0},
        {" ", 0},
        {"сталь", 0},
        {"1E400", 0},
        {"nan", 0},
        {"inf", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        EXPECT_EQ(AlloyDensity(c.text), c.density);
    }
}

TEST(AlloyDensity, EveryGradeGivesItsOwnDensity) {
    for (const auto& alloy : kAlloys) {
        SCOPED_TRACE(std::string(alloy.grade));
        const auto density = sheetmass::ParseNumber(alloy.density);
        ASSERT_TRUE(density.has_value());
        EXPECT_GE(*density, 2.2);
        EXPECT_LE(*density, 2.94);
        EXPECT_EQ(AlloyDensity(alloy.grade), *density);
    }
}

TEST(AlloyTable, HoldsTheShippedList) {
    ASSERT_EQ(kAlloys.size(), 94u);
    EXPECT_EQ(kAlloys.front().grade, "1105");
    EXPECT_EQ(kAlloys.back().grade, "ММ (1403)");

    std::set<std::string_view> grades;
    std::set<std::string_view> densities;
    int withBlank = 0;
    for (const auto& alloy : kAlloys) {
        EXPECT_TRUE(grades.insert(alloy.grade).second) << "twice: " << alloy.grade;
        densities.insert(alloy.density);
        ASSERT_FALSE(alloy.grade.empty());
        EXPECT_NE(alloy.grade.front(), ' ') << alloy.grade;
        EXPECT_EQ(alloy.grade.find("  "), std::string_view::npos) << alloy.grade;
        if (alloy.grade.back() == ' ')
            ++withBlank;
    }
    EXPECT_EQ(withBlank, 50);
    EXPECT_EQ(densities.size(), 29u);
    EXPECT_EQ(*densities.begin(), "2,2");
    EXPECT_EQ(*densities.rbegin(), "2,94");

    // The first 14 are the bare four-digit designations.
    for (std::size_t i = 0; i < 14; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kAlloys[i].grade.size(), 4u);
        EXPECT_EQ(kAlloys[i].grade.find_first_not_of("0123456789"), std::string_view::npos);
    }
    EXPECT_EQ(kAlloys[14].grade, "RR50 ");
    EXPECT_EQ(kAlloys[61].grade, "АМГ4 ");
    EXPECT_EQ(kAlloys[68].grade, "АМцC (1401)");
}

} // namespace
