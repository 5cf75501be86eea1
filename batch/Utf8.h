#pragma once

#include <cstddef>
#include <string_view>

namespace sheetmass {

// Whether the bytes are well-formed UTF-8: no stray or missing continuation
// bytes, no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool isUtf8(std::string_view bytes);

// The length of the bytes without a character that a cut left incomplete
// at their end.
std::size_t completeLength(std::string_view bytes);

} // namespace sheetmass
