#include "fields/EntrySearch.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string_view>

namespace {

// Grades as the alloy list spells them, Latin R's, trailing blanks and a
// capital Г among them.
constexpr std::array<std::string_view, 8> kEntries = {
    "RR50 ", "АМг ", "АМг0,7", "АМГ4 ", "ВАД1 (1191)", "ВАЛ10 ", "Д1 (1110)", "Д16 (1160)"};

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

// A pasted cell names an entry only whole: trimmed of what copying brings,
// cases and look-alikes as they are.
TEST(entryNamed, TheWholeEntryTrimmed) {
    const struct {
        std::string_view pasted;
        std::optional<std::size_t> entry;
    } cases[] = {
        {"Д16 (1160)", 7},
        {" Д16 (1160)\r\n", 7},
        {"\tАМГ4", 3},
        {"RR50", 0},
        {"д16 (1160)", std::nullopt},
        {"Д16", std::nullopt},
        {"Д16 (1160) x", std::nullopt},
        {" \n", std::nullopt},
    };
    for (const auto& [pasted, entry] : cases)
        EXPECT_EQ(sheetmass::entryNamed(kEntries, pasted), entry) << pasted;
}

} // namespace
