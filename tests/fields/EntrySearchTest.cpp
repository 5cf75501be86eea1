#include "fields/EntrySearch.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// Grades as the alloy list spells them, Latin R's, trailing blanks and a
// capital Г among them.
constexpr std::array<std::string_view, 9> kEntries = {"RR50 ",     "АМг ",        "АМг0,7",
                                                      "АМГ4 ",     "ВАД1 (1191)", "ВАЛ10 ",
                                                      "Д1 (1110)", "Д16 (1160)",  "Д1 (1111)"};

TEST(firstEntryBeginningWith, LettersWithoutCaseAndLatinLookAlikesAsCyrillic) {
    const struct {
        std::string_view typed;
        std::optional<std::size_t> entry;
    } cases[] = {
        {"Д16", 7},          {"д16", 7},
        {"Д1", 6},           {"Д1 ", 6},
        {"амг4", 3},         {"АМг", 1},
        {"AMг0", 2},         {"BAЛ1", 5}, // Latin B, A, M
        {"ва", 4},           {"rr5", 0},
        {"RR50 ", 0},        {"РР", std::nullopt},
        {"Ж", std::nullopt}, {"Д16 (1160)x", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [typed, entry] : cases)
        EXPECT_EQ(sheetmass::firstEntryBeginningWith(kEntries, typed), entry) << typed;
}

// A pasted cell or a batch line's field names an entry whole, trimmed of
// what copying brings, cases and look-alikes aside, or without its number
// where no other entry has that name; never by a prefix.
TEST(entryNamed, TheWholeEntryTrimmed) {
    const struct {
        std::string_view pasted;
        std::optional<std::size_t> entry;
    } cases[] = {
        {"Д16 (1160)", 7},
        {" Д16 (1160)\r\n", 7},
        {"\tАМГ4", 3},
        {"RR50", 0},
        {"д16 (1160)", 7},
        {"Д16", 7},
        {"BAД1 (1191)", 4}, // Latin B and A
        {"амг4", 3},
        {"Д1", std::nullopt}, // two entries
        {"Д", std::nullopt},
        {"АМг0", std::nullopt},
        {"(1160)", std::nullopt},
        {"Д16 (1160) x", std::nullopt},
        {" \n", std::nullopt},
    };
    for (const auto& [pasted, entry] : cases)
        EXPECT_EQ(sheetmass::entryNamed(kEntries, pasted), entry) << pasted;
}

TEST(nearestEntries, FewestEditsFirstThenTheListsOrder) {
    const struct {
        std::string_view name;
        std::vector<std::size_t> nearest;
    } cases[] = {
        {"Д17", {6, 7, 8}},
        {"д16ж", {7, 6, 8}},
        {"BAД2", {4}},
        {"сталь", {}},
    };
    for (const auto& [name, nearest] : cases)
        EXPECT_EQ(sheetmass::nearestEntries(kEntries, name, 3), nearest) << name;
}

} // namespace
