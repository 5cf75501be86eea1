#include "listfile/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <utility>

namespace sheetmass {
namespace {

// 0x80 … 0xBF; from 0xC0 on the code page runs А … я in order.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
constexpr char32_t kCyrillicA = 0x0410;

char32_t characterOf(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte < 0xC0)
        return kUpperHalf[byte - 0x80];
    return kCyrillicA + (byte - 0xC0);
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

// Lead bytes of well-formed UTF-8 sequences longer than one byte.
struct Lead {
    unsigned char from, to;
    std::size_t length;
    unsigned char payload; // bits of the lead byte that carry the character
    char32_t least;        // smallest character this length may carry
};
constexpr Lead kLeads[] = {
    {0xC2, 0xDF, 2, 0x1F, 0x80}, {0xE0, 0xEF, 3, 0x0F, 0x800}, {0xF0, 0xF4, 4, 0x07, 0x10000}};

// The character at the front of text and its length in bytes; a malformed
// sequence gives -1 for its first byte alone.
std::pair<std::int32_t, std::size_t> decodeUtf8(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (byte(0) < 0x80)
        return {byte(0), 1};
    const auto* lead = std::find_if(std::begin(kLeads), std::end(kLeads), [&](const Lead& l) {
        return byte(0) >= l.from && byte(0) <= l.to;
    });
    if (lead == std::end(kLeads) || text.size() < lead->length)
        return {-1, 1};
    std::int32_t c = byte(0) & lead->payload;
    for (std::size_t i = 1; i < lead->length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {-1, 1};
        c = c << 6 | (byte(i) & 0x3F);
    }
    if (static_cast<char32_t>(c) < lead->least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {-1, 1};
    return {c, lead->length};
}

} // namespace

int cp1251Code(char32_t character) {
    if (character < 0x80)
        return static_cast<int>(character);
    if (character >= kCyrillicA && character < kCyrillicA + 64)
        return static_cast<int>(0xC0 + (character - kCyrillicA));
    const auto* found = std::find(kUpperHalf.begin(), kUpperHalf.end(), character);
    if (found == kUpperHalf.end())
        return -1;
    return static_cast<int>(0x80 + (found - kUpperHalf.begin()));
}

std::string toCp1251(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto [c, length] = decodeUtf8(utf8);
        const int code = c < 0 ? -1 : cp1251Code(static_cast<char32_t>(c));
        bytes += code < 0 ? '?' : static_cast<char>(code);
        utf8.remove_prefix(length);
    }
    return bytes;
}

std::string fromCp1251(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (const char b : bytes)
        appendUtf8(utf8, characterOf(static_cast<unsigned char>(b)));
    return utf8;
}

} // namespace sheetmass
