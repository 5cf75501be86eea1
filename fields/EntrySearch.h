#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

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

// The entry a text names as a person writes it, pasted into a list or in
// a batch line: white space at the ends of either aside (a copied cell's,
// a grade's trailing blank), then letters without case and Latin
// look-alikes as above, and an entry's bracketed number left out ("Д16"
// names "Д16 (1160)") where that names one entry alone. No prefix is
// guessed; none for anything else.
std::optional<std::size_t> entryNamed(std::span<const std::string_view> entries,
                                      std::string_view name);

// The entries a name that names none comes nearest, for a message to offer:
// by the fewest characters to change, add or drop, compared as entryNamed
// does, those as near in the list's order; at most `most`, and none that
// would change more than half the name.
std::vector<std::size_t> nearestEntries(std::span<const std::string_view> entries,
                                        std::string_view name, std::size_t most);

} // namespace sheetmass
