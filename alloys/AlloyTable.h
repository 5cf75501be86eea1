#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace sheetmass {

// One grade of the alloy list: its text as shown, and its density in g/cm³
// as a number text with a decimal comma.
struct Alloy {
    std::string_view grade;
    std::string_view density;
};

inline constexpr std::size_t kAlloyCount = 94;

// In the order the alloy drop-down shows them. Texts are UTF-8.
extern const std::array<Alloy, kAlloyCount> kAlloys;

} // namespace sheetmass
