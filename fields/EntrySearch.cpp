#include "fields/EntrySearch.h"

#include "fields/PastedText.h"
#include "fields/Utf8.h"

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
                                      std::string_view pasted) {
    const std::string_view wanted = trimWhiteSpace(pasted);
    if (wanted.empty())
        return std::nullopt;
    return firstEntry(entries,
                      [&](std::string_view entry) { return trimWhiteSpace(entry) == wanted; });
}

} // namespace sheetmass
