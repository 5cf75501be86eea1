#include "app/ListImage.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace sheetmass {
namespace {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

unsigned readU16(std::string_view image, std::size_t at) {
    return static_cast<unsigned char>(image[at]) | static_cast<unsigned char>(image[at + 1]) << 8;
}

std::string readText(std::string_view image, std::size_t at) {
    if (image.size() < at + kItemHead || readU16(image, at) != kTextTag)
        return {};
    const std::size_t count = readU16(image, at + 2);
    return std::string(image.substr(at + kItemHead, count));
}

double readNumber(std::string_view image, std::size_t at) {
    unsigned char bytes[8] = {};
    if (at < image.size())
        std::memcpy(bytes, image.data() + at, std::min<std::size_t>(8, image.size() - at));
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | bytes[i];
    return std::bit_cast<double>(bits);
}

void writeBytes(std::string& image, std::size_t at, std::string_view bytes) {
    if (image.size() < at + bytes.size())
        image.resize(at + bytes.size(), '\0');
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

void writeText(std::string& image, std::size_t at, std::string_view text) {
    text = text.substr(0, kMaxTextBytes);
    const char head[kItemHead] = {static_cast<char>(kTextTag), 0,
                                  static_cast<char>(text.size() & 0xFF),
                                  static_cast<char>(text.size() >> 8)};
    writeBytes(image, at, std::string_view(head, kItemHead));
    writeBytes(image, at + kItemHead, text);
}

void writeNumber(std::string& image, std::size_t at, double value) {
    auto bits = std::bit_cast<std::uint64_t>(value);
    char bytes[8];
    for (char& b : bytes) {
        b = static_cast<char>(bits & 0xFF);
        bits >>= 8;
    }
    writeBytes(image, at, std::string_view(bytes, 8));
}

} // namespace

ListValues ReadListImage(std::string_view image) {
    ListValues v;
    v.thickness = readText(image, kThicknessAt);
    v.upper = readText(image, kUpperAt);
    v.lower = readText(image, kLowerAt);
    v.length = readText(image, kLengthAt);
    v.width = readText(image, kWidthAt);
    v.count = readText(image, kCountAt);
    v.places = readNumber(image, kPlacesAt);
    v.alloy = readText(image, kAlloyAt);
    v.mode = readText(image, kModeAt);
    return v;
}

std::string WriteListImage(const ListValues& values, std::string_view old) {
    std::string image(old);
    // Taken before any text is written: without a new number the file keeps
    // the one it had, even where an over-long Текст6 runs across it.
    const double places = values.places ? *values.places : readNumber(old, kPlacesAt);
    writeText(image, kThicknessAt, values.thickness);
    writeText(image, kUpperAt, values.upper);
    writeText(image, kLowerAt, values.lower);
    writeText(image, kLengthAt, values.length);
    writeText(image, kWidthAt, values.width);
    writeText(image, kCountAt, values.count);
    writeNumber(image, kPlacesAt, places);
    writeText(image, kAlloyAt, values.alloy);
    writeText(image, kModeAt, values.mode);
    return image;
}

} // namespace sheetmass
