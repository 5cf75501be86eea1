#pragma once

#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "calc/Mass.h"
#include "tests/support/WorkedSheets.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace sheetmass::worked {

// Thousandths as a mass text: the independent sum the total must equal.
inline std::string thousandths(std::int64_t n) {
    std::string text = (n < 0 ? "-" : "") + std::to_string(std::abs(n) / 1000);
    if (const std::int64_t rest = std::abs(n) % 1000; rest != 0) {
        std::string fraction = std::to_string(1000 + rest).substr(1);
        text += "," + fraction.substr(0, fraction.find_last_not_of('0') + 1);
    }
    return text;
}

inline std::int64_t asThousandths(const std::string& mass) {
    const bool negative = mass.starts_with('-');
    const auto comma = mass.find(',');
    std::string fraction = comma == std::string::npos ? "" : mass.substr(comma + 1);
    fraction.resize(3, '0');
    const std::int64_t size =
        std::stoll(mass.substr(negative ? 1 : 0, comma - (negative ? 1 : 0))) * 1000 +
        std::stoll(fraction);
    return negative ? -size : size;
}

struct BatchSheets {
    std::string input;    // one line a sheet
    std::string expected; // what the batch writes for it
};

// The window's worked sheets, their masses worked by hand, then random ones
// at the core's, each number written as a spreadsheet may write it; the
// same lines on every system. The total is summed independently.
inline BatchSheets batchSheets() {
    std::mt19937 random(20261208);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto written = [&](std::string text) { // as a spreadsheet may write it
        if (pick(3) == 0 && text.find(',') != std::string::npos)
            text[text.find(',')] = '.';
        if (pick(3) == 0 && text.size() > 3 && text.find_first_not_of("0123456789") == text.npos)
            text.insert(text.size() - 3, " ");
        return pick(4) == 0 ? " " + text + " " : text;
    };
    const char* modes[] = {sheetmass::kModeNominal, sheetmass::kModeUpper, sheetmass::kModeLower};
    std::string input, expected;
    std::int64_t total = 0;
    std::vector<sheetmass::worked::Sheet> sheets;
    // A band deeper than the nominal thickness leaves no sheet: no mass, in
    // the batch as in the window.
    std::copy_if(sheetmass::worked::kSheets.begin(), sheetmass::worked::kSheets.end(),
                 std::back_inserter(sheets),
                 [](const auto& s) { return !s.mass.starts_with('-'); });
    for (int i = 0; i < 300; ++i) {
        const sheetmass::Inputs in = {
            pick(5) == 0
                ? std::string("2,") + std::to_string(pick(10))
                : std::string(sheetmass::kAlloys[static_cast<std::size_t>(pick(94))].grade),
            modes[pick(3)],
            std::to_string(1 + pick(19)) + "," + std::to_string(pick(100)),
            "0," + std::to_string(pick(10)),
            "-0," + std::to_string(pick(10)),
            std::to_string(1 + pick(999999)),
            std::to_string(1 + pick(99999)),
            std::to_string(pick(1000)),
            std::to_string(pick(4))};
        sheets.push_back({in, sheetmass::massText(in, Модуль1::AlloyDensity)});
    }
    for (const auto& [in, mass] : sheets) {
        const bool isGrade =
            std::any_of(sheetmass::kAlloys.begin(), sheetmass::kAlloys.end(),
                        [&alloy = in.alloy](const auto& a) { return a.grade == alloy; });
        std::string alloy = isGrade ? in.alloy : written(in.alloy);
        if (pick(2) == 0) // spreadsheets drop a cell's trailing blanks
            alloy.erase(alloy.find_last_not_of(' ') + 1);
        std::string line = alloy + ";" + in.mode;
        for (const auto* number : {&in.thickness, &in.upper, &in.lower, &in.length, &in.width,
                                   &in.count}) // one after another: the same lines everywhere
            line += ";" + written(*number);
        line += ";" + in.places;
        input += line + "\n";
        expected += line + ";" + mass + "\n";
        total += asThousandths(mass);
    }
    expected += "Итого;;;;;;;;;" + thousandths(total) + "\n";
    return {input, expected};
}

} // namespace sheetmass::worked
