#include "fields/CodePage.h"

#include "fields/Utf8.h"

#include <algorithm>
#include <array>

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
        const Decoded d = decodeUtf8(utf8);
        const int code = d.character < 0 ? -1 : cp1251Code(static_cast<char32_t>(d.character));
        bytes += code < 0 ? '?' : static_cast<char>(code);
        utf8.remove_prefix(d.length);
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
