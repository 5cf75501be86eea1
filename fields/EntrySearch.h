#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace sheetmass {

// The first of a list's entries that begins with the typed text (UTF-8),
// letters compared without case and a Latin letter that looks like a
// Cyrillic one taken as that one, both in the entries and in what is typed:
// "д16", "Д16" and "Д16" with a Latin D find nothing different. No entry for
// an empty text or when none begins so.
std::optional<std::size_t> firstEntryBeginningWith(std::span<const std::string_view> entries,
                                                   std::string_view typed);

// The Cyrillic letter on the key of a Latin one in the standard Russian
// layout (ЙЦУКЕН), of the same case: "l" is "д", "F" is "А"; none for any
// other character. The keys of a name typed with the wrong layout on.
std::optional<char32_t> russianOnSameKey(char32_t latin);

// The entry a text pasted into a list names, trimmed as a copied cell is,
// character for character; none for a text that names no entry.
std::optional<std::size_t> entryNamed(std::span<const std::string_view> entries,
                                      std::string_view pasted);

} // namespace sheetmass
