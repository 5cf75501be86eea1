#pragma once

// Within the seam: the names of a replacement's new file, the same on
// every system.

#include <cstddef>
#include <string>
#include <string_view>

namespace sheetmass::platform {

inline constexpr std::size_t kRandomLetters = 6;

// `prefix` and a letter or digit for each random byte.
std::string newFileName(std::string_view prefix, const unsigned char (&random)[kRandomLetters]);

bool isNewFileName(std::string_view name, std::string_view prefix);

} // namespace sheetmass::platform
