#include "fields/Utf8.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace sheetmass {
namespace {

unsigned byteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// Lead bytes of well-formed sequences longer than one byte.
struct Lead {
    unsigned char from, to;
    std::size_t length;
    unsigned char payload; // bits of the lead byte that carry the character
    char32_t least;        // smallest character this length may carry
};
constexpr Lead kLeads[] = {
    {0xC2, 0xDF, 2, 0x1F, 0x80}, {0xE0, 0xEF, 3, 0x0F, 0x800}, {0xF0, 0xF4, 4, 0x07, 0x10000}};

const Lead* leadOf(unsigned byte) {
    const auto* lead = std::find_if(std::begin(kLeads), std::end(kLeads),
                                    [&](const Lead& l) { return byte >= l.from && byte <= l.to; });
    return lead == std::end(kLeads) ? nullptr : lead;
}

// Eight bytes, first in the lowest, that are four characters of two bytes:
// each lead 110xxxxx but not C0 or C1 (overlong), each follower 10xxxxxx.
bool fourLetters(std::uint64_t word) {
    if constexpr (std::endian::native != std::endian::little)
        return false;
    if ((word & 0xC0E0C0E0C0E0C0E0) != 0x80C080C080C080C0)
        return false;
    // The payload bits of each lead, one lane of 16 bits a character: a lane
    // that is not zero sets its top bit when 0x7FFF is added.
    constexpr std::uint64_t kTops = 0x8000800080008000;
    return (((word & 0x001E001E001E001E) + 0x7FFF7FFF7FFF7FFF) & kTops) == kTops;
}

} // namespace

Decoded decodeUtf8(std::string_view text) {
    const unsigned first = byteAt(text, 0);
    if (first < 0x80)
        return {static_cast<std::int32_t>(first), 1};
    const Lead* lead = leadOf(first);
    if (lead == nullptr || text.size() < lead->length)
        return {-1, 1};
    std::int32_t c = static_cast<std::int32_t>(first & lead->payload);
    for (std::size_t i = 1; i < lead->length; ++i) {
        if ((byteAt(text, i) & 0xC0) != 0x80)
            return {-1, 1};
        c = c << 6 | static_cast<std::int32_t>(byteAt(text, i) & 0x3F);
    }
    if (static_cast<char32_t>(c) < lead->least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {-1, 1};
    return {c, lead->length};
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isUtf8(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        // Most of a line is ASCII, eight bytes at a time; Cyrillic takes two
        // bytes a letter, told by their own ranges.
        if (std::uint64_t word = 0; i + 8 <= size) {
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if ((word & 0x8080808080808080) == 0 || fourLetters(word)) {
                i += 8;
                continue;
            }
        }
        const unsigned first = byteAt(bytes, i);
        if (first < 0x80) {
            ++i;
            continue;
        }
        const auto twoBytes = [&](std::size_t at) {
            const unsigned lead = byteAt(bytes, at);
            return lead >= 0xC2 && lead <= 0xDF && at + 1 < size &&
                   (byteAt(bytes, at + 1) & 0xC0) == 0x80;
        };
        if (twoBytes(i)) {
            do
                i += 2;
            while (i < size && twoBytes(i));
            continue;
        }
        const Decoded d = decodeUtf8(bytes.substr(i));
        if (d.character < 0)
            return false;
        i += d.length;
    }
    return true;
}

std::size_t completeLength(std::string_view bytes) {
    std::size_t start = bytes.size();
    // Back over up to three continuation bytes to the last lead byte.
    while (start > 0 && bytes.size() - start < 4 && (byteAt(bytes, start - 1) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return bytes.size();
    const Lead* lead = leadOf(byteAt(bytes, start - 1));
    const std::size_t length = lead ? lead->length : 1;
    return length > bytes.size() - start + 1 ? start - 1 : bytes.size();
}

} // namespace sheetmass
