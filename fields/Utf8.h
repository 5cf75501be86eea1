#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sheetmass {

// The one UTF-8 reading of the program: well-formed means no stray or
// missing continuation bytes, no overlong forms, no surrogates, nothing
// beyond U+10FFFF.

// The character at the front of a non-empty text and its length in bytes;
// a malformed sequence gives -1 for its first byte alone.
struct Decoded {
    std::int32_t character;
    std::size_t length;
};
Decoded decodeUtf8(std::string_view text);

// Appends a character below U+10000 (all the code page has).
void appendUtf8(std::string& out, char32_t c);

// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

// The length of the bytes without a character that a cut left incomplete
// at their end.
std::size_t completeLength(std::string_view bytes);

} // namespace sheetmass
