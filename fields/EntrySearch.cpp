#include "fields/EntrySearch.h"

#include "fields/PastedText.h"
#include "fields/Utf8.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace sheetmass {
namespace {

// Latin capitals that look like Cyrillic ones, and those.
constexpr std::array<std::pair<char32_t, char32_t>, 12> kLookAlikes = {{
    {U'A', U'А'},
    {U'B', U'В'},
    {U'C', U'С'},
    {U'E', U'Е'},
    {U'H', U'Н'},
    {U'K', U'К'},
    {U'M', U'М'},
    {U'O', U'О'},
    {U'P', U'Р'},
    {U'T', U'Т'},
    {U'X', U'Х'},
    {U'Y', U'У'},
}};

// The letters of the standard Russian layout on the keys of a to z.
constexpr std::u32string_view kRussianKeys = U"фисвуапршолдьтщзйкыегмцчня";

char32_t folded(char32_t c) {
    if (c >= U'a' && c <= U'z')
        c -= U'a' - U'A';
    else if (c >= U'а' && c <= U'я')
        c -= U'а' - U'А';
    else if (c == U'ё')
        c = U'Ё';
    for (const auto& [latin, cyrillic] : kLookAlikes)
        if (c == latin)
            return cyrillic;
    return c;
}

std::u32string foldedText(std::string_view utf8) {
    std::u32string out;
    while (!utf8.empty()) {
        const Decoded d = decodeUtf8(utf8);
        out += d.character < 0 ? char32_t(0xFFFD) : folded(char32_t(d.character));
        utf8.remove_prefix(d.length);
    }
    return out;
}

// The entry without its bracketed number ("Д16 (1160)" as "Д16"), folded;
// the entry itself when it has none.
std::u32string withoutNumber(std::u32string entry) {
    const std::size_t open = entry.rfind(U" (");
    if (open == std::u32string::npos || !entry.ends_with(U')') || entry.size() < open + 4)
        return entry;
    for (std::size_t i = open + 2; i + 1 < entry.size(); ++i)
        if (entry[i] < U'0' || entry[i] > U'9')
            return entry;
    return entry.erase(open);
}

// The fewest characters to change, add or drop to make one text the other.
std::size_t editsBetween(std::u32string_view a, std::u32string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j < row.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row.back();
}

template <class Matches>
std::optional<std::size_t> firstEntry(std::span<const std::string_view> entries, Matches matches) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (matches(entries[i]))
            return i;
    return std::nullopt;
}

} // namespace

std::optional<std::size_t> firstEntryBeginningWith(std::span<const std::string_view> entries,
                                                   std::string_view typed) {
    const std::u32string wanted = foldedText(typed);
    if (wanted.empty())
        return std::nullopt;
    return firstEntry(
        entries, [&](std::string_view entry) { return foldedText(entry).starts_with(wanted); });
}

std::optional<char32_t> russianOnSameKey(char32_t latin) {
    if (latin >= U'a' && latin <= U'z')
        return kRussianKeys[latin - U'a'];
    if (latin >= U'A' && latin <= U'Z')
        return kRussianKeys[latin - U'A'] - (U'а' - U'А');
    return std::nullopt;
}

std::optional<std::size_t> entryNamed(std::span<const std::string_view> entries,
                                      std::string_view name) {
    const std::string_view wanted = trimWhiteSpace(name);
    if (wanted.empty())
        return std::nullopt;
    if (const auto exact = firstEntry(
            entries, [&](std::string_view entry) { return trimWhiteSpace(entry) == wanted; }))
        return exact;
    const std::u32string folded = foldedText(wanted);
    if (const auto written = firstEntry(entries, [&](std::string_view entry) {
            return foldedText(trimWhiteSpace(entry)) == folded;
        }))
        return written;
    // Without the number: only when no other entry has that name.
    std::optional<std::size_t> named;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (withoutNumber(foldedText(trimWhiteSpace(entries[i]))) == folded) {
            if (named)
                return std::nullopt;
            named = i;
        }
    return named;
}

std::vector<std::size_t> nearestEntries(std::span<const std::string_view> entries,
                                        std::string_view name, std::size_t most) {
    const std::u32string folded = foldedText(trimWhiteSpace(name));
    std::vector<std::size_t> edits(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::u32string entry = foldedText(trimWhiteSpace(entries[i]));
        edits[i] =
            std::min(editsBetween(folded, entry), editsBetween(folded, withoutNumber(entry)));
    }
    std::vector<std::size_t> nearest;
    const std::size_t mostEdits = std::max<std::size_t>(1, folded.size() / 2);
    for (std::size_t fewest = 0; nearest.size() < most && fewest <= mostEdits; ++fewest)
        for (std::size_t i = 0; i < entries.size() && nearest.size() < most; ++i)
            if (edits[i] == fewest)
                nearest.push_back(i);
    return nearest;
}

} // namespace sheetmass
