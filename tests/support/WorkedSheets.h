#pragma once

#include "calc/Inputs.h"

#include <array>
#include <string>

namespace sheetmass::worked {

// The window's worked sheets, each with its mass worked by hand: what both
// the calculation and the batch must show for them.
struct Sheet {
    Inputs in;
    std::string mass;
};

inline const std::string kD16 = "Д16 (1160)";

inline const std::array<Sheet, 9> kSheets = {{
    {{kD16, kModeNominal, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "11,08"},
    {{kD16, kModeUpper, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "11,63"},
    {{kD16, kModeLower, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "10,53"},
    {{kD16, kModeLower, "2", "0,2", "-0,2", "2000", "1000", "1", "0"}, "11"},
    {{kD16, kModeNominal, "2", "0,2", "-0,2", "2000", "1000", "10", "2"}, "110,8"},
    {{kD16, kModeNominal, "2", "0,2", "-0,2", "2000", "1000", "0", "2"}, "0"},
    {{"2,7", kModeNominal, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "10,8"},
    // A grade first, never the number 1105.
    {{"1105", kModeNominal, "2", "0,2", "-0,2", "2000", "1000", "1", "2"}, "11,2"},
    // A lower band deeper than the nominal: Fix(-55,4 + 0,5) = -54.
    {{kD16, kModeLower, "0,1", "0,2", "-0,4", "2000", "1000", "1", "2"}, "-0,54"},
}};

} // namespace sheetmass::worked
