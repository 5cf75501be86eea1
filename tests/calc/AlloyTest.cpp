#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <utility>

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

// Each grade looked up gives its own density: the worked sum of all 94. A
// lookup that matched another grade, a prefix, or no grade would move it.
TEST(AlloyDensity, EveryGradeGivesItsOwnDensity) {
    double sum = 0;
    for (const auto& alloy : kAlloys)
        sum += AlloyDensity(alloy.grade);
    EXPECT_NEAR(sum, 257.44, 1e-9);
}

// The grades as shipped, each with its density, in the list's order: FNV-1a
// of the lines "grade=density", so that a changed letter or blank, a swapped
// density or a moved entry changes it; and rows worked out by hand.
TEST(AlloyTable, HoldsTheShippedGradesInOrder) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const auto& [grade, density] : kAlloys)
        for (const std::string_view part :
             {grade, std::string_view("="), density, std::string_view("\n")})
            for (const char c : part)
                hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    EXPECT_EQ(hash, 0x18a5dd8f2ae73d2du);

    ASSERT_EQ(kAlloys.size(), 94u);
    const std::pair<std::size_t, sheetmass::Alloy> rows[] = {
        // clang-format off
        {0, {"1105", "2,8"}}, {13, {"1973", "2,85"}}, {14, {"RR50 ", "2,73"}},
        {17, {"АВ (1340)", "2,7"}}, {20, {"АД31 (1340)", "2,71"}}, {61, {"АМГ4 ", "2,67"}},
        {68, {"АМц\x43 (1401)", "2,73"}}, {81, {"ВИ-11-3 ", "2,2"}}, {93, {"ММ (1403)", "2,73"}},
        // clang-format on
    };
    for (const auto& [i, alloy] : rows) {
        EXPECT_EQ(kAlloys[i].grade, alloy.grade) << i;
        EXPECT_EQ(kAlloys[i].density, alloy.density) << i;
    }
}

} // namespace
