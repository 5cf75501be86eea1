#include "listfile/ListImage.h"

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

ListItem textItem(std::size_t at, std::string_view text) {
    text = text.substr(0, kMaxTextBytes);
    const char head[kItemHead] = {static_cast<char>(kTextTag), 0,
                                  static_cast<char>(text.size() & 0xFF),
                                  static_cast<char>(text.size() >> 8)};
    return {at, std::string(head, kItemHead) + std::string(text)};
}

ListItem numberItem(std::size_t at, double value) {
    auto bits = std::bit_cast<std::uint64_t>(value);
    std::string bytes(8, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(bits & 0xFF);
        bits >>= 8;
    }
    return {at, bytes};
}

} // namespace

ListValues readListImage(std::string_view image) {
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

std::vector<ListItem> listItems(const ListValues& values, std::string_view old) {
    // Without a new number the file keeps the one it had, even where an
    // over-long Текст6 runs across it.
    const double places = values.places ? *values.places : readNumber(old, kPlacesAt);
    return {textItem(kThicknessAt, values.thickness),
            textItem(kUpperAt, values.upper),
            textItem(kLowerAt, values.lower),
            textItem(kLengthAt, values.length),
            textItem(kWidthAt, values.width),
            textItem(kCountAt, values.count),
            numberItem(kPlacesAt, places),
            textItem(kAlloyAt, values.alloy),
            textItem(kModeAt, values.mode)};
}

std::string writeListImage(const ListValues& values, std::string_view old) {
    std::string image(old);
    for (const ListItem& item : listItems(values, old)) {
        if (image.size() < item.at + item.bytes.size())
            image.resize(item.at + item.bytes.size(), '\0');
        image.replace(item.at, item.bytes.size(), item.bytes);
    }
    return image;
}

} // namespace sheetmass
